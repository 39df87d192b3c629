// The names of the chooser window's controls, in one place: the layout, the
// handlers and the tools name controls through these, so a misspelt name
// does not compile.
#pragma once

#include <cstdint>

#include "forms/runtime.h"

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

inline forms::ControlRef CountryImage(std::int16_t index) { return {kCountryImage, index}; }
inline forms::ControlRef CountryPic(std::int16_t index) { return {kCountryPic, index}; }
inline forms::ControlRef Label3() { return {kLabel3}; }
inline forms::ControlRef Picture1() { return {kPicture1}; }

}  // namespace chooser
