#pragma once

#include <stdexcept>
#include <string>

namespace qlm {

// A data file beside the program (scoring tables, report texts, question bank) that is
// missing, short or malformed. The message names the file and what is wrong with it; nothing
// computed from such a file is used.
class DataFileError : public std::runtime_error {
public:
    DataFileError(std::string file, std::string problem)
        : std::runtime_error(file + ": " + problem),
          m_file(std::move(file)),
          m_problem(std::move(problem)) {}

    const std::string& file() const { return m_file; }
    const std::string& problem() const { return m_problem; }

private:
    std::string m_file;
    std::string m_problem;
};

}  // namespace qlm
