// Narrow test texts widened character by character, so one table serves both lists.
#pragma once

#include <string>
#include <vector>

#include "data/text/StringList.h"

namespace lacqueron::test {

using Strings = std::vector<std::string>;

template <class Char>
std::basic_string<Char> Widen(const std::string& text) {
    return std::basic_string<Char>(text.begin(), text.end());
}

template <class Char>
RefPtr<IStringList<Char>> NewList() {
    if constexpr (sizeof(Char) == 1) return CreateNarrowStringList();
    else return CreateWideStringList();
}

// The items as narrow text; a null GetAt shows as "<null>".
template <class Char>
std::vector<std::string> Items(IStringList<Char>* list) {
    std::vector<std::string> items;
    for (std::uint32_t i = 0; i < list->GetCount(); ++i) {
        const Char* item = list->GetAt(i);
        if (item == nullptr) {
            items.emplace_back("<null>");
            continue;
        }
        std::string narrow;
        for (; *item != 0; ++item) narrow.push_back(static_cast<char>(*item));
        items.push_back(narrow);
    }
    return items;
}

}  // namespace lacqueron::test
