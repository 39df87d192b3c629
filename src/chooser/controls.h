// The names of the chooser window's controls, in one place: the layout, the
// handlers and the tools name controls through these, so a misspelt name
// does not compile. The names are the layout's data and the run-time errors'
// text; events and handlers reach a control by its place in the layout.
#pragma once

#include <cstdint>

#include "forms/control.h"

namespace chooser {

inline constexpr char kCountryImage[] = "CountryImage";  // the languages' normal faces, in front
inline constexpr char kCountryPic[] = "CountryPic";      // their highlighted faces, behind
inline constexpr char kCommand1[] = "Command1";          // the "Exit Setup" button
inline constexpr char kPicture1[] = "Picture1";          // hidden picture box: the background tile
inline constexpr char kImage1[] = "Image1";              // the brand's word mark
inline constexpr char kImage2[] = "Image2";              // the maker's logo, under the word mark
inline constexpr char kImage3[] = "Image3";              // hidden: "Exit Setup" as a picture
inline constexpr char kImage4[] = "Image4";              // "Please Select Language:"
inline constexpr char kLabel1[] = "Label1";              // the heading: the product's name
inline constexpr char kLabel2[] = "Label2";              // "Your operating system is : "
inline constexpr char kLabel3[] = "Label3";              // the running Windows's name

// The controls as the handlers name them, resolved once from the layout to
// their places in its table.
forms::ControlRef CountryImage(std::int16_t index);  // a run-time error where there is no such member
forms::ControlRef CountryPic(std::int16_t index);
forms::ControlRef Label3();
forms::ControlRef Picture1();

}  // namespace chooser
