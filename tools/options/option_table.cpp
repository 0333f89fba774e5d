#include "tools/options/option_table.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace kvt::options {

namespace {

// A whole decimal number of at most nine digits.
bool ParseDecimal(const std::string& text, int* value) {
    if (text.empty() || text.size() > 9) return false;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    *value = n;
    return true;
}

}  // namespace

std::vector<std::string> Words(const char* list) {
    std::istringstream in(list ? list : "");
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

bool HasWord(const char* list, const std::string& word) {
    const std::vector<std::string> words = Words(list);
    if (word.empty()) return words.empty();
    for (const std::string& w : words)
        if (w == word) return true;
    return false;
}

bool CheckValue(const char* name, const Check& check, const std::string& text, Value* value,
                std::string* error) {
    value->text = text;
    bool ok = true;
    switch (check.kind) {
    case Check::Any: break;
    case Check::NonEmpty: ok = !text.empty(); break;
    case Check::Number:
        ok = ParseDecimal(text, &value->number) && value->number >= check.low &&
             value->number <= check.high;
        break;
    case Check::Choice: ok = HasWord(check.choices, text) && !text.empty(); break;
    case Check::Custom: ok = check.valid(text); break;
    }
    if (ok) return true;
    *error = std::string(name) + " needs " + check.need;
    if (check.kind == Check::Number)
        *error += " " + std::to_string(check.low) + ".." + std::to_string(check.high);
    return false;
}

void PrintOptionLine(const std::string& option, const std::string& text, int textColumn) {
    std::printf("  %-*s", textColumn - 2, option.c_str());
    if (option.size() > size_t(textColumn - 3)) std::printf("\n%*s", textColumn, "");
    for (char c : text) {
        std::putchar(c);
        if (c == '\n') std::printf("%*s", textColumn, "");
    }
    std::putchar('\n');
}

}  // namespace kvt::options
