#pragma once

#include <cctype>
#include <cstdint>
#include <string>

// A parameterised case's description as a test name: GoogleTest accepts only letters, digits
// and underscores there.
inline std::string testName(std::string name) {
    for (char& c : name)
        c = std::isalnum(uint8_t(c)) ? c : '_';
    return name;
}
