#pragma once

#include <string>
#include <string_view>

// The same characters in UTF-8.
std::string cp1251ToUtf8(std::string_view cp1251Text);
