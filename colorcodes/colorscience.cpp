#include "colorcodes/colorscience.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace colorcodes {

namespace {

constexpr double Degree = std::numbers::pi / 180.0;

Rgb multiply(const Matrix3 &m, double x, double y, double z)
{
    return {m[0][0] * x + m[0][1] * y + m[0][2] * z, m[1][0] * x + m[1][1] * y + m[1][2] * z,
            m[2][0] * x + m[2][1] * y + m[2][2] * z};
}

// CSS Color 4, lin_sRGB_to_XYZ and XYZ_to_lin_sRGB: exact rationals from the sRGB
// primaries and the D65 chromaticity (0.3127, 0.3290).
constexpr Matrix3 LinearSrgbToXyzMatrix = {{
    {506752.0 / 1228815, 87881.0 / 245763, 12673.0 / 70218},
    {87098.0 / 409605, 175762.0 / 245763, 12673.0 / 175545},
    {7918.0 / 409605, 87881.0 / 737289, 1001167.0 / 1053270},
}};
constexpr Matrix3 XyzToLinearSrgbMatrix = {{
    {12831.0 / 3959, -329.0 / 214, -1974.0 / 3959},
    {-851781.0 / 878810, 1648619.0 / 878810, 36519.0 / 878810},
    {705.0 / 12673, -2585.0 / 12673, 705.0 / 667},
}};

// CSS Color 4, XYZ_to_OKLab and OKLab_to_XYZ.
constexpr Matrix3 XyzToLms = {{
    {0.8190224379967030, 0.3619062600528904, -0.1288737815209879},
    {0.0329836539323885, 0.9292868615863434, 0.0361446663506424},
    {0.0481771893596242, 0.2642395317527308, 0.6335478284694309},
}};
constexpr Matrix3 LmsToOkLab = {{
    {0.2104542683093140, 0.7936177747023054, -0.0040720430116193},
    {1.9779985324311684, -2.4285922420485799, 0.4505937096174110},
    {0.0259040424655478, 0.7827717124575296, -0.8086757549230774},
}};
constexpr Matrix3 OkLabToLms = {{
    {1.0, 0.3963377773761749, 0.2158037573099136},
    {1.0, -0.1055613458156586, -0.0638541728258133},
    {1.0, -0.0894841775298119, -1.2914855480194092},
}};
constexpr Matrix3 LmsToXyz = {{
    {1.2268798758459243, -0.5578149944602171, 0.2813910456659647},
    {-0.0405757452148008, 1.1122868032803170, -0.0717110580655164},
    {-0.0763729366746601, -0.4214933324022432, 1.5869240198367816},
}};

// D65 as CIE 15 gives it, in the same chromaticity as the matrices above.
constexpr Xyz D65 = {0.3127 / 0.3290, 1.0, (1.0 - 0.3127 - 0.3290) / 0.3290};

// Machado, Oliveira and Fernandes (2009), table of simulation matrices, severity 1.0.
constexpr Matrix3 Protanopia = {{
    {0.152286, 1.052583, -0.204868},
    {0.114503, 0.786281, 0.099216},
    {-0.003882, -0.048116, 1.051998},
}};
constexpr Matrix3 Deuteranopia = {{
    {0.367322, 0.860646, -0.227968},
    {0.280085, 0.672501, 0.047413},
    {-0.011820, 0.042940, 0.968881},
}};
constexpr Matrix3 Tritanopia = {{
    {1.255528, -0.076749, -0.178779},
    {-0.078411, 0.930809, 0.147602},
    {0.004733, 0.691367, 0.303900},
}};

int toComponent(double encoded)
{
    return static_cast<int>(std::lround(std::clamp(encoded, 0.0, 1.0) * 255.0));
}

double wrapDegrees(double h)
{
    h = std::fmod(h, 360.0);
    return h < 0 ? h + 360.0 : h;
}

// The hue of CSS Color 4's rgbToHsl, shared by HSL and HSV; 0 for greys.
double hueOf(const Rgb &c, double max, double d)
{
    if (d == 0)
        return 0;
    double h = 0;
    if (max == c.r)
        h = (c.g - c.b) / d + (c.g < c.b ? 6 : 0);
    else if (max == c.g)
        h = (c.b - c.r) / d + 2;
    else
        h = (c.r - c.g) / d + 4;
    h *= 60;
    return h >= 360 ? h - 360 : h;
}

struct NamedLab {
    ColorValue value;
    Lab lab;
};

const std::array<NamedLab, NamedColorCount> &namedLabs()
{
    static const std::array<NamedLab, NamedColorCount> labs = [] {
        std::array<NamedLab, NamedColorCount> all{};
        for (std::size_t i = 0; i < NamedColorCount; ++i) {
            const std::string_view code = NamedColorByCode(i).code;
            const int r = HexToLong(code.substr(1, 2));
            const int g = HexToLong(code.substr(3, 2));
            const int b = HexToLong(code.substr(5, 2));
            all[i].value = MakeColor(r, g, b);
            all[i].lab = ToLab(all[i].value);
        }
        return all;
    }();
    return labs;
}

} // namespace

Rgb ToRgb(ColorValue color)
{
    const ColorCodes parts = SplitColor(color);
    return {parts.R / 255.0, parts.G / 255.0, parts.B / 255.0};
}

ColorValue FromRgb(const Rgb &rgb)
{
    return MakeColor(toComponent(rgb.r), toComponent(rgb.g), toComponent(rgb.b));
}

double SrgbToLinear(double encoded)
{
    const double magnitude = std::abs(encoded);
    const double linear
        = magnitude <= 0.04045 ? magnitude / 12.92 : std::pow((magnitude + 0.055) / 1.055, 2.4);
    return std::copysign(linear, encoded);
}

double LinearToSrgb(double linear)
{
    const double magnitude = std::abs(linear);
    const double encoded = magnitude <= 0.0031308 ? magnitude * 12.92
                                                  : 1.055 * std::pow(magnitude, 1.0 / 2.4) - 0.055;
    return std::copysign(encoded, linear);
}

double ComponentToLinear(int component)
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int c = 0; c < 256; ++c)
            t[c] = SrgbToLinear(c / 255.0);
        return t;
    }();
    return table[static_cast<unsigned>(component) & 255U];
}

Rgb ToLinear(const Rgb &encoded)
{
    return {SrgbToLinear(encoded.r), SrgbToLinear(encoded.g), SrgbToLinear(encoded.b)};
}

Rgb ToEncoded(const Rgb &linear)
{
    return {LinearToSrgb(linear.r), LinearToSrgb(linear.g), LinearToSrgb(linear.b)};
}

Xyz LinearSrgbToXyz(const Rgb &linear)
{
    const Rgb v = multiply(LinearSrgbToXyzMatrix, linear.r, linear.g, linear.b);
    return {v.r, v.g, v.b};
}

Rgb XyzToLinearSrgb(const Xyz &xyz)
{
    return multiply(XyzToLinearSrgbMatrix, xyz.x, xyz.y, xyz.z);
}

Lab XyzToLab(const Xyz &xyz)
{
    // CIE 15: ε = 216/24389 and κ = 24389/27, the exact forms of 0.008856 and 903.3.
    constexpr double epsilon = 216.0 / 24389.0;
    constexpr double kappa = 24389.0 / 27.0;
    const auto f = [](double t) { return t > epsilon ? std::cbrt(t) : (kappa * t + 16) / 116; };
    const double fx = f(xyz.x / D65.x);
    const double fy = f(xyz.y / D65.y);
    const double fz = f(xyz.z / D65.z);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

Lab ToLab(ColorValue color)
{
    const ColorCodes parts = SplitColor(color);
    return XyzToLab(LinearSrgbToXyz(
        {ComponentToLinear(parts.R), ComponentToLinear(parts.G), ComponentToLinear(parts.B)}));
}

OkLab XyzToOkLab(const Xyz &xyz)
{
    const Rgb lms = multiply(XyzToLms, xyz.x, xyz.y, xyz.z);
    // std::cbrt keeps the sign, as CSS Color 4 asks for.
    const Rgb lab = multiply(LmsToOkLab, std::cbrt(lms.r), std::cbrt(lms.g), std::cbrt(lms.b));
    return {lab.r, lab.g, lab.b};
}

Xyz OkLabToXyz(const OkLab &lab)
{
    const Rgb lms = multiply(OkLabToLms, lab.L, lab.a, lab.b);
    const Rgb xyz
        = multiply(LmsToXyz, lms.r * lms.r * lms.r, lms.g * lms.g * lms.g, lms.b * lms.b * lms.b);
    return {xyz.r, xyz.g, xyz.b};
}

OkLch ToOkLch(const OkLab &lab)
{
    const double chroma = std::hypot(lab.a, lab.b);
    const double hue = chroma == 0 ? 0 : wrapDegrees(std::atan2(lab.b, lab.a) / Degree);
    return {lab.L, chroma, hue};
}

OkLab FromOkLch(const OkLch &lch)
{
    return {lch.L, lch.C * std::cos(lch.h * Degree), lch.C * std::sin(lch.h * Degree)};
}

OkLch ToOkLch(ColorValue color)
{
    const ColorCodes parts = SplitColor(color);
    return ToOkLch(XyzToOkLab(LinearSrgbToXyz(
        {ComponentToLinear(parts.R), ComponentToLinear(parts.G), ComponentToLinear(parts.B)})));
}

Rgb OkLchToRgb(const OkLch &lch)
{
    return ToEncoded(XyzToLinearSrgb(OkLabToXyz(FromOkLch(lch))));
}

Hsl RgbToHsl(const Rgb &rgb)
{
    const double max = std::max({rgb.r, rgb.g, rgb.b});
    const double min = std::min({rgb.r, rgb.g, rgb.b});
    const double d = max - min;
    const double light = (max + min) / 2;
    double sat = 0;
    if (d != 0 && light != 0 && light != 1)
        sat = (max - light) / std::min(light, 1 - light);
    return {hueOf(rgb, max, d), sat, light};
}

Rgb HslToRgb(const Hsl &hsl)
{
    const double hue = wrapDegrees(hsl.h);
    const double a = hsl.s * std::min(hsl.l, 1 - hsl.l);
    const auto f = [&](double n) {
        const double k = std::fmod(n + hue / 30, 12);
        return hsl.l - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
    };
    return {f(0), f(8), f(4)};
}

Hsv RgbToHsv(const Rgb &rgb)
{
    const double max = std::max({rgb.r, rgb.g, rgb.b});
    const double min = std::min({rgb.r, rgb.g, rgb.b});
    const double d = max - min;
    return {hueOf(rgb, max, d), max == 0 ? 0 : d / max, max};
}

Rgb HsvToRgb(const Hsv &hsv)
{
    const double hue = wrapDegrees(hsv.h);
    const auto f = [&](double n) {
        const double k = std::fmod(n + hue / 60, 6);
        return hsv.v - hsv.v * hsv.s * std::max(0.0, std::min({k, 4 - k, 1.0}));
    };
    return {f(5), f(3), f(1)};
}

Rgb HwbToRgb(double hue, double white, double black)
{
    if (white + black >= 1) {
        const double grey = white / (white + black);
        return {grey, grey, grey};
    }
    const Rgb pure = HslToRgb({hue, 1, 0.5});
    const double scale = 1 - white - black;
    return {pure.r * scale + white, pure.g * scale + white, pure.b * scale + white};
}

Cmyk RgbToCmyk(const Rgb &rgb)
{
    const double k = 1 - std::max({rgb.r, rgb.g, rgb.b});
    if (k >= 1)
        return {0, 0, 0, 1};
    return {(1 - rgb.r - k) / (1 - k), (1 - rgb.g - k) / (1 - k), (1 - rgb.b - k) / (1 - k), k};
}

Rgb CmykToRgb(const Cmyk &cmyk)
{
    return {(1 - cmyk.c) * (1 - cmyk.k), (1 - cmyk.m) * (1 - cmyk.k), (1 - cmyk.y) * (1 - cmyk.k)};
}

double Ciede2000(const Lab &first, const Lab &second)
{
    const auto pow7 = [](double x) { return x * x * x * x * x * x * x; };
    constexpr double twentyFive7 = 6103515625.0; // 25^7

    const double c1 = std::hypot(first.a, first.b);
    const double c2 = std::hypot(second.a, second.b);
    const double cMean7 = pow7((c1 + c2) / 2);
    const double g = 0.5 * (1 - std::sqrt(cMean7 / (cMean7 + twentyFive7)));
    const double a1 = (1 + g) * first.a;
    const double a2 = (1 + g) * second.a;
    const double c1p = std::hypot(a1, first.b);
    const double c2p = std::hypot(a2, second.b);
    const auto hue = [](double b, double a) {
        return (a == 0 && b == 0) ? 0.0 : wrapDegrees(std::atan2(b, a) / Degree);
    };
    const double h1p = hue(first.b, a1);
    const double h2p = hue(second.b, a2);

    const double dLp = second.L - first.L;
    const double dCp = c2p - c1p;
    double dhp = 0;
    if (c1p * c2p != 0) {
        dhp = h2p - h1p;
        if (dhp > 180)
            dhp -= 360;
        else if (dhp < -180)
            dhp += 360;
    }
    const double dHp = 2 * std::sqrt(c1p * c2p) * std::sin(dhp / 2 * Degree);

    const double lMean = (first.L + second.L) / 2;
    const double cMeanP = (c1p + c2p) / 2;
    double hMean = h1p + h2p;
    if (c1p * c2p != 0) {
        if (std::abs(h1p - h2p) <= 180)
            hMean /= 2;
        else if (h1p + h2p < 360)
            hMean = (hMean + 360) / 2;
        else
            hMean = (hMean - 360) / 2;
    }
    const double t = 1 - 0.17 * std::cos((hMean - 30) * Degree)
        + 0.24 * std::cos(2 * hMean * Degree) + 0.32 * std::cos((3 * hMean + 6) * Degree)
        - 0.20 * std::cos((4 * hMean - 63) * Degree);
    const double dTheta = 30 * std::exp(-std::pow((hMean - 275) / 25, 2));
    const double cMeanP7 = pow7(cMeanP);
    const double rc = 2 * std::sqrt(cMeanP7 / (cMeanP7 + twentyFive7));
    const double l50 = (lMean - 50) * (lMean - 50);
    const double sl = 1 + 0.015 * l50 / std::sqrt(20 + l50);
    const double sc = 1 + 0.045 * cMeanP;
    const double sh = 1 + 0.015 * cMeanP * t;
    const double rt = -std::sin(2 * dTheta * Degree) * rc;

    const double l = dLp / sl;
    const double c = dCp / sc;
    const double h = dHp / sh;
    return std::sqrt(l * l + c * c + h * h + rt * c * h);
}

NearestNamed NearestNamedColor(ColorValue color)
{
    color &= White;
    const Lab lab = ToLab(color);
    const auto &all = namedLabs();
    // The nearest by plain Lab distance is usually near by CIEDE2000 too; starting from it
    // lets the bound below pass over most names without the full formula.
    std::size_t seed = 0;
    double seedDistance = HUGE_VAL;
    for (std::size_t i = 0; i < NamedColorCount; ++i) {
        if (all[i].value == color)
            return {&NamedColorByCode(i), 0, true};
        const double dL = all[i].lab.L - lab.L, da = all[i].lab.a - lab.a,
                     db = all[i].lab.b - lab.b;
        const double distance = dL * dL + da * da + db * db;
        if (distance < seedDistance) {
            seedDistance = distance;
            seed = i;
        }
    }
    NearestNamed nearest{&NamedColorByCode(seed), Ciede2000(lab, all[seed].lab), false};
    std::size_t nearestIndex = seed;
    for (std::size_t i = 0; i < NamedColorCount; ++i) {
        // ΔE00 is never less than the lightness term alone (the rest of the sum under the
        // root is a positive semi-definite form, |R_T| < 2), and S_L never exceeds
        // 1 + 0.015·2500 / √2520 < 1.7471.
        constexpr double maxSl = 1.7471;
        if (i == seed || std::abs(all[i].lab.L - lab.L) > nearest.deltaE * maxSl)
            continue;
        const double deltaE = Ciede2000(lab, all[i].lab);
        // Of equally near names the first in code order.
        if (deltaE < nearest.deltaE || (deltaE == nearest.deltaE && i < nearestIndex)) {
            nearest = {&NamedColorByCode(i), deltaE, false};
            nearestIndex = i;
        }
    }
    return nearest;
}

double RelativeLuminance(ColorValue color)
{
    const ColorCodes parts = SplitColor(color);
    return 0.2126 * ComponentToLinear(parts.R) + 0.7152 * ComponentToLinear(parts.G)
        + 0.0722 * ComponentToLinear(parts.B);
}

double ContrastRatio(ColorValue first, ColorValue second)
{
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

ContrastVerdicts JudgeContrast(double ratio)
{
    return {ratio >= 4.5, ratio >= 3, ratio >= 7, ratio >= 4.5};
}

const Matrix3 &MachadoMatrix(Deficiency deficiency)
{
    switch (deficiency) {
    case Deficiency::Protanopia:
        return Protanopia;
    case Deficiency::Deuteranopia:
        return Deuteranopia;
    case Deficiency::Tritanopia:
        break;
    }
    return Tritanopia;
}

ColorValue SimulateDeficiency(ColorValue color, Deficiency deficiency)
{
    const ColorCodes parts = SplitColor(color);
    const Rgb seen = multiply(MachadoMatrix(deficiency), ComponentToLinear(parts.R),
                              ComponentToLinear(parts.G), ComponentToLinear(parts.B));
    const auto clamp = [](double x) { return std::clamp(x, 0.0, 1.0); };
    return FromRgb(ToEncoded({clamp(seen.r), clamp(seen.g), clamp(seen.b)}));
}

} // namespace colorcodes
