// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cctype>
#include <string>
#include <string_view>

// A table row's description as a test name: "fade-in longer than file" ->
// "FadeInLongerThanFile". Anything but letters and digits separates words.
inline std::string ParamName(std::string_view description)
{
    std::string name;
    bool wordStart = true;
    for (const char c : description)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        if (!std::isalnum(u))
        {
            wordStart = true;
            continue;
        }
        name.push_back(wordStart ? static_cast<char>(std::toupper(u)) : c);
        wordStart = false;
    }
    return name;
}

// The name generator for INSTANTIATE_TEST_SUITE_P over rows with a `name`.
struct RowName
{
    template <class Info>
    std::string operator()(const Info& info) const
    {
        return ParamName(info.param.name);
    }
};
