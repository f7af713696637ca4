#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qlm {

class FileSystem;

// Reads a scoring or text data file in its two ways: as fields (leading blanks skipped; a value
// starting with a double quote runs to the closing quote, any other to the next comma or line
// end; the separator is consumed) and as whole lines. Line ends are LF or CR LF. Every fault
// (missing or unreadable file, early end, a number that is not one or lies out of range)
// throws DataFileError naming the file, the line and what was being read.
class DataFileReader {
public:
    DataFileReader(std::string file, std::string text);
    // The whole file; a file that cannot be read throws DataFileError.
    static std::string readText(const FileSystem& files, const std::string& path);

    std::string field(std::string_view what);
    // A field holding a decimal integer within low..high.
    int number(std::string_view what, int low, int high);
    // An item number, 1 to 109.
    int item(std::string_view what);
    // A field that is read and not used.
    void label(std::string_view what) { field(what); }
    std::string line(std::string_view what);

    // Fails naming the line of the value read last (or of the end of the file).
    [[noreturn]] void fail(const std::string& problem) const;

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    bool atLineEnd() const;
    // Consumes a line end at the current position, if there is one.
    void skipLineEnd();
    void requireMore(std::string_view what);

    std::string m_file;
    std::string m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
    int m_valueLine = 1;  // the line the value read last began on
};

}  // namespace qlm
