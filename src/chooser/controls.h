// The names of the chooser window's controls, in one place: the layout, the
// handlers and the tools name controls through these, so a misspelt name
// does not compile. The names are the layout's data and the run-time errors'
// text; events and handlers reach a control by its place in the layout.
#pragma once

#include <cstdint>

#include "forms/control.h"

namespace chooser {

inline constexpr char kCountryImage[] = "CountryImage";
inline constexpr char kCountryPic[] = "CountryPic";
inline constexpr char kCommand1[] = "Command1";
inline constexpr char kPicture1[] = "Picture1";
inline constexpr char kImage1[] = "Image1";
inline constexpr char kImage2[] = "Image2";
inline constexpr char kImage3[] = "Image3";
inline constexpr char kImage4[] = "Image4";
inline constexpr char kLabel1[] = "Label1";
inline constexpr char kLabel2[] = "Label2";
inline constexpr char kLabel3[] = "Label3";

// The controls as the handlers name them, resolved once from the layout to
// their places in its table.
forms::ControlRef CountryImage(std::int16_t index);  // a run-time error where there is no such member
forms::ControlRef CountryPic(std::int16_t index);
forms::ControlRef Label3();
forms::ControlRef Picture1();

}  // namespace chooser
