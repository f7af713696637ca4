#include "scoring/DataFileReader.h"

#include <charconv>

#include "scoring/TestSpec.h"
#include "storage/DataFileError.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"

namespace qlm {

DataFileReader::DataFileReader(std::string file, std::string text)
    : m_file(std::move(file)), m_text(std::move(text)) {}

std::string DataFileReader::readText(const FileSystem& files, const std::string& path) {
    try {
        return files.readFile(path);
    } catch (const FileError& e) {
        throw DataFileError(path, "cannot be read (Error " + std::to_string(e.number()) + ": " +
                                      e.description() + ")");
    }
}

void DataFileReader::fail(const std::string& problem) const {
    throw DataFileError(m_file, "line " + std::to_string(m_valueLine) + ": " + problem);
}

bool DataFileReader::atLineEnd() const {
    return m_text[m_pos] == '\n' ||
           (m_text[m_pos] == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n');
}

void DataFileReader::skipLineEnd() {
    if (atEnd() || !atLineEnd()) {
        return;
    }
    m_pos += m_text[m_pos] == '\r' ? 2 : 1;
    ++m_line;
}

void DataFileReader::requireMore(std::string_view what) {
    m_valueLine = m_line;
    if (atEnd()) {
        fail("the file ends before " + std::string(what));
    }
}

std::string DataFileReader::field(std::string_view what) {
    while (!atEnd() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t')) {
        ++m_pos;
    }
    requireMore(what);
    std::string value;
    if (m_text[m_pos] == '"') {
        const std::size_t close = m_text.find('"', m_pos + 1);
        const std::size_t lineEnd = m_text.find('\n', m_pos);
        if (close == std::string::npos || close > lineEnd) {
            fail("the quoted value of " + std::string(what) + " has no closing quote");
        }
        value = m_text.substr(m_pos + 1, close - m_pos - 1);
        m_pos = close + 1;
        while (!atEnd() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t')) {
            ++m_pos;
        }
        if (!atEnd() && m_text[m_pos] != ',' && !atLineEnd()) {
            fail("unexpected text after the quoted value of " + std::string(what));
        }
    } else {
        const std::size_t start = m_pos;
        while (!atEnd() && m_text[m_pos] != ',' && !atLineEnd()) {
            ++m_pos;
        }
        value = m_text.substr(start, m_pos - start);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) {
            value.pop_back();
        }
    }
    if (!atEnd() && m_text[m_pos] == ',') {
        ++m_pos;
    } else {
        skipLineEnd();
    }
    return value;
}

int DataFileReader::number(std::string_view what, int low, int high) {
    const std::string text = field(what);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) {
        fail(std::string(what) + " must be a whole number, not \"" + text + "\"");
    }
    if (value < low || value > high) {
        fail(std::string(what) + " must lie within " + std::to_string(low) + " to " +
             std::to_string(high) + ", not " + text);
    }
    return value;
}

int DataFileReader::item(std::string_view what) {
    return number(what, 1, TestSpec::ItemCount);
}

std::string DataFileReader::line(std::string_view what) {
    requireMore(what);
    const std::size_t start = m_pos;
    while (!atEnd() && !atLineEnd()) {
        ++m_pos;
    }
    std::string value = m_text.substr(start, m_pos - start);
    skipLineEnd();
    return value;
}

}  // namespace qlm
