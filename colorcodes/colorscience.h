#pragma once

#include "colorcodes/colorcodes.h"
#include "colorcodes/namedcolors.h"

#include <array>

// Colour spaces, colour difference, contrast and colour-vision simulation for 8-bit sRGB
// colours.
//
// Encoded sRGB components are 0..1 (component / 255); linear components are 0..1 too.
// XYZ is relative to the D65 white with Y = 1 for white. The matrices and the OKLab
// constants are those of the sample code of CSS Color Module Level 4, so that every value
// here agrees with what browsers compute.
namespace colorcodes {

struct Rgb {
    double r = 0, g = 0, b = 0;
};

struct Xyz {
    double x = 0, y = 0, z = 0;
};

// CIE L*a*b* relative to D65: L 0..100, a and b about −128..128.
struct Lab {
    double L = 0, a = 0, b = 0;
};

// OKLab: L 0..1, a and b about −0.4..0.4.
struct OkLab {
    double L = 0, a = 0, b = 0;
};

// OKLCH: L 0..1, C ≥ 0 (about 0..0.4 inside sRGB), h in degrees 0..360.
struct OkLch {
    double L = 0, C = 0, h = 0;
};

// h in degrees 0..360; s, l (or v) 0..1.
struct Hsl {
    double h = 0, s = 0, l = 0;
};
struct Hsv {
    double h = 0, s = 0, v = 0;
};

// All four 0..1.
struct Cmyk {
    double c = 0, m = 0, y = 0, k = 0;
};

// The encoded components of a colour value, each component / 255.
Rgb ToRgb(ColorValue color);
// Back to a colour value: each component × 255 rounded to the nearest integer, clamped to
// 0..255.
ColorValue FromRgb(const Rgb &rgb);

// The sRGB transfer function (IEC 61966-2-1), extended to negative values by symmetry.
double SrgbToLinear(double encoded);
double LinearToSrgb(double linear);
// SrgbToLinear(component / 255) for a component 0..255, from a table.
double ComponentToLinear(int component);

Rgb ToLinear(const Rgb &encoded);
Rgb ToEncoded(const Rgb &linear);

Xyz LinearSrgbToXyz(const Rgb &linear);
Rgb XyzToLinearSrgb(const Xyz &xyz);

Lab XyzToLab(const Xyz &xyz);
Lab ToLab(ColorValue color);

OkLab XyzToOkLab(const Xyz &xyz);
Xyz OkLabToXyz(const OkLab &lab);
// Hue is 0 where the chroma is 0 (CSS Color 4 calls it powerless there).
OkLch ToOkLch(const OkLab &lab);
OkLab FromOkLch(const OkLch &lch);
OkLch ToOkLch(ColorValue color);
// The encoded sRGB components of an OKLCH colour; outside 0..1 when it lies outside sRGB.
Rgb OkLchToRgb(const OkLch &lch);

// CSS Color 4's rgbToHsl and hslToRgb; achromatic colours get hue 0.
Hsl RgbToHsl(const Rgb &rgb);
Rgb HslToRgb(const Hsl &hsl);
// HSV (HSB) with the same hue as HSL.
Hsv RgbToHsv(const Rgb &rgb);
Rgb HsvToRgb(const Hsv &hsv);
// CSS Color 4's hwbToRgb: w and b 0..1; when w + b ≥ 1 the colour is the grey w / (w + b).
Rgb HwbToRgb(double hue, double white, double black);

// The plain device formula, without any colour profile: K = 1 − max(R, G, B) and
// C = (1 − R − K) / (1 − K) and so on; black is C = M = Y = 0, K = 1.
Cmyk RgbToCmyk(const Rgb &rgb);
Rgb CmykToRgb(const Cmyk &cmyk);

// CIEDE2000 colour difference (kL = kC = kH = 1), as in Sharma, Wu and Dalal (2005).
double Ciede2000(const Lab &first, const Lab &second);

// The named colour nearest to a colour by CIEDE2000; among equally near ones, the first in
// code order ("aqua" before "cyan"). exact is true when the colour is the named one.
struct NearestNamed {
    const NamedColor *color = nullptr;
    double deltaE = 0;
    bool exact = false;
};
NearestNamed NearestNamedColor(ColorValue color);

// WCAG 2.x relative luminance, 0 (black) to 1 (white). WCAG's linearisation threshold
// 0.03928 and sRGB's 0.04045 give the same result for every 8-bit component.
double RelativeLuminance(ColorValue color);
// (lighter + 0.05) / (darker + 0.05): 1 to 21, the same either way round.
double ContrastRatio(ColorValue first, ColorValue second);

// WCAG 2.x success criteria 1.4.3 (AA) and 1.4.6 (AAA); large text is 18 pt, or 14 pt
// bold, and larger. The ratio is compared unrounded, as WCAG asks: 4.499 fails 4.5.
struct ContrastVerdicts {
    bool aaNormal = false;  // ≥ 4.5
    bool aaLarge = false;   // ≥ 3
    bool aaaNormal = false; // ≥ 7
    bool aaaLarge = false;  // ≥ 4.5
};
ContrastVerdicts JudgeContrast(double ratio);

enum class Deficiency { Protanopia, Deuteranopia, Tritanopia };

using Matrix3 = std::array<std::array<double, 3>, 3>;

// Machado, Oliveira and Fernandes (2009), severity 1.0: the matrix that maps linear sRGB
// as seen with normal vision to linear sRGB as seen with the deficiency.
const Matrix3 &MachadoMatrix(Deficiency deficiency);

// The colour as seen with the deficiency: linearised, multiplied by the matrix, clamped
// to 0..1, encoded and rounded.
ColorValue SimulateDeficiency(ColorValue color, Deficiency deficiency);

} // namespace colorcodes
