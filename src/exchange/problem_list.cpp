#include "exchange/problem_list.h"

namespace kvt {

void ProblemList::push_back(std::string problem) {
    if (kept_.size() < kKept) kept_.push_back(std::move(problem));
    ++count_;
}

std::vector<std::string> ProblemList::Lines() const {
    std::vector<std::string> lines = kept_;
    const std::size_t more = count_ - kept_.size();
    if (more > 0)
        lines.push_back("... and " + std::to_string(more) + " more problem" +
                        (more == 1 ? "" : "s"));
    return lines;
}

}  // namespace kvt
