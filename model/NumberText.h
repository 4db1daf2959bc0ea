#pragma once
// Numbers typed as text for the section's transformation values.

#include <string_view>

// The classic ASCII-to-floating-point rule: leading white space, an optional sign,
// decimal digits with an optional decimal point, then an optional exponent (e or E,
// optional sign, digits). The longest leading part that forms a number is used and the
// rest ignored; text with no such part gives 0. Hexadecimal, infinity and NaN forms are
// not numbers here. The decimal point is always '.', whatever the locale.
double ParseLeadingDouble(std::string_view text);

// The value rounded to single precision. A value too large for a float gives the largest
// finite float of its sign rather than an infinity, which a model file cannot use.
float ToSingleSaturated(double value);
