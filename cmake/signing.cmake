# Signing: a vendor's PKCS#12 file and the file that holds its password (the
# password itself never enters the build). Without them the release is
# unsigned and its names say so. Sets `signing`, make_medium's arguments.
#
# The cache keeps both files for every later configure of the build folder, so
# one that leaves them out still signs: that is said, with how to stop it. A
# file given on this configure's command line is told from a remembered one by
# its help text: -D gives the entry CMake's own, which is replaced below by this
# file's, so an entry that still has this file's was not given again.
set(signing_help_PKCS12 "The vendor's code-signing certificate with its key (.pfx/.p12)")
set(signing_help_PASSWORD_FILE "A file holding the password of VELBROOK_SIGN_PKCS12")
set(signing_remembered)
foreach(name PKCS12 PASSWORD_FILE)
  get_property(signing_help CACHE VELBROOK_SIGN_${name} PROPERTY HELPSTRING)
  set(VELBROOK_SIGN_${name} "" CACHE FILEPATH "${signing_help_${name}}")
  set(signing_given_${name} TRUE)
  if("${signing_help}" STREQUAL "${signing_help_${name}}")
    set(signing_given_${name} FALSE)
    if(VELBROOK_SIGN_${name})
      list(APPEND signing_remembered "VELBROOK_SIGN_${name}=${VELBROOK_SIGN_${name}}")
    endif()
  endif()
  set_property(CACHE VELBROOK_SIGN_${name} PROPERTY HELPSTRING "${signing_help_${name}}")
endforeach()
set(VELBROOK_SIGN_TIMESTAMP_URL "" CACHE STRING "An RFC 3161 time-stamping server (none: no time stamp)")
set(VELBROOK_VENDOR_URL "" CACHE STRING "The vendor's web address, named in the signature")

set(signing)
if(VELBROOK_SIGN_PKCS12)
  list(APPEND signing --sign-pkcs12 ${VELBROOK_SIGN_PKCS12})
endif()
# A password file given without a certificate is refused when the medium is made;
# a remembered one, once the certificate is taken away, is left out.
if(VELBROOK_SIGN_PASSWORD_FILE AND (VELBROOK_SIGN_PKCS12 OR signing_given_PASSWORD_FILE))
  list(APPEND signing --sign-password-file ${VELBROOK_SIGN_PASSWORD_FILE})
endif()
if(VELBROOK_SIGN_TIMESTAMP_URL)
  list(APPEND signing --timestamp-url ${VELBROOK_SIGN_TIMESTAMP_URL})
endif()
if(VELBROOK_VENDOR_URL)
  list(APPEND signing --vendor-url ${VELBROOK_VENDOR_URL})
endif()

if(VELBROOK_SIGN_PKCS12)
  message(STATUS "The release's menu is signed with ${VELBROOK_SIGN_PKCS12}")
  if(signing_remembered)
    list(JOIN signing_remembered "\n  " signing_remembered)
    message(WARNING "The release's menu is signed with keys this build folder remembers from an earlier "
      "configure, not given on this one:\n  ${signing_remembered}\nTo make it unsigned, configure again with "
      "-U 'VELBROOK_SIGN_*' (or -DVELBROOK_SIGN_PKCS12=).")
  endif()
else()
  message(STATUS "The release is unsigned (set VELBROOK_SIGN_PKCS12 and VELBROOK_SIGN_PASSWORD_FILE to sign it)")
endif()
