"""The menu's build tools, one package with one import root (tools/): CMake
runs every script and Python test with PYTHONPATH set to it, and the scripts
in scripts/ set it themselves (`python3 -m menubuild.demo`).

    product     a product's description read, checked and written out for the
                build; the window's design facts; the fonts that judge fit
    medium      the installation medium, its image, the release and signing
    winehost    the menu's programs under Wine on a virtual X server
    benchmark, demo, screenshots    what runs the menu under Wine for people
"""
