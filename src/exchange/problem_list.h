// The problems an import finds. A hostile file can hold hundreds of
// thousands of them; the first few tell what is wrong, the rest are counted.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kvt {

class ProblemList {
public:
    static constexpr std::size_t kKept = 20;

    void push_back(std::string problem);
    bool empty() const { return count_ == 0; }
    // The first kKept problems, then "... and N more problems" when there
    // are more.
    std::vector<std::string> Lines() const;

private:
    std::vector<std::string> kept_;
    std::size_t count_ = 0;
};

}  // namespace kvt
