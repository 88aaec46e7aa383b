#include <algorithm>
#include <cctype>

#include "link/PortLink.h"

std::string UpperCasePortName(const std::string& name)
{
    if (name.find('/') != std::string::npos) return name;
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}
