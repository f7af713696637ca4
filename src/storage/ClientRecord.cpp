#include "storage/ClientRecord.h"

#include <cstdio>

#include <stdexcept>

namespace qlm {

using R = ClientRecord;

const std::array<R::FieldLayout, 22>& R::layout() {
    static const std::array<FieldLayout, 22> fields{{
        {"Name", &R::Name, 0, 25},
        {"Age", &R::Age, 25, 2},
        {"Sex", &R::Sex, 27, 1},
        {"Race", &R::Race, 28, 1},
        {"Education", &R::Education, 29, 2},
        {"DateOfBirth", &R::DateOfBirth, 31, 10},
        {"MaritalStatus", &R::MaritalStatus, 41, 1},
        {"DateScored", &R::DateScored, 42, 10},
        {"AgeAtFirstArrest", &R::AgeAtFirstArrest, 52, 2},
        {"TruancyCount", &R::TruancyCount, 54, 2},
        {"RunawayCount", &R::RunawayCount, 56, 2},
        {"ArrestCount", &R::ArrestCount, 58, 2},
        {"ProbationCount", &R::ProbationCount, 60, 2},
        {"RevocationCount", &R::RevocationCount, 62, 2},
        {"DetentionCount", &R::DetentionCount, 64, 2},
        {"ConvictionCount", &R::ConvictionCount, 66, 2},
        {"DUIArrestCount", &R::DUIArrestCount, 68, 2},
        {"AlcoholArrestCount", &R::AlcoholArrestCount, 70, 2},
        {"DrugArrestCount", &R::DrugArrestCount, 72, 2},
        {"Answers", &R::Answers, 74, 109},
        {"EditCount", &R::EditCount, 183, 1},
        {"NameDeleted", &R::NameDeleted, 184, 1},
    }};
    return fields;
}

R::Field R::courtCountField(int i) {
    if (i < 1 || i > CourtCountCount) {
        throw std::out_of_range("court history count " + std::to_string(i));
    }
    // The eleven counts follow each other from the ninth field on.
    return layout()[static_cast<std::size_t>(7 + i)].field;
}

std::size_t R::widthOf(Field field) {
    for (const auto& f : layout()) {
        if (f.field == field) {
            return f.width;
        }
    }
    throw std::invalid_argument("not a client record field");
}

R::ClientRecord() {
    for (const auto& f : layout()) {
        this->*f.field = std::string(f.width, ' ');
    }
}

R R::fromBytes(std::string_view bytes) {
    ClientRecord record;
    for (const auto& f : layout()) {
        const std::string_view part =
            f.offset < bytes.size() ? bytes.substr(f.offset, f.width) : std::string_view{};
        record.*f.field = FixedWidth(part, f.width);
    }
    return record;
}

std::string R::toBytes() const {
    std::string bytes;
    bytes.reserve(Size);
    for (const auto& f : layout()) {
        bytes += FixedWidth(this->*f.field, f.width);
    }
    return bytes;
}

void R::set(Field field, std::string_view text) {
    this->*field = FixedWidth(text, widthOf(field));
}

std::string FixedWidth(std::string_view text, std::size_t width) {
    std::string out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string RecordDamage(std::string_view bytes) {
    if (bytes.size() == ClientRecord::Size && bytes.back() == CutRecordPadding) {
        bytes = bytes.substr(0, bytes.find_last_not_of(CutRecordPadding) + 1);
    }
    if (bytes.size() < ClientRecord::Size) {
        return "it ends after " + std::to_string(bytes.size()) + " of its " +
               std::to_string(ClientRecord::Size) + " bytes";
    }
    for (const auto& field : ClientRecord::layout()) {
        for (std::size_t i = 0; i < field.width; ++i) {
            const auto byte = static_cast<unsigned char>(bytes[field.offset + i]);
            if (byte < 0x20 || byte == 0x7F) {
                char code[8];
                std::snprintf(code, sizeof code, "0x%02X", byte);
                return std::string("its ") + field.name + " field holds a control character (" +
                       code + ")";
            }
            if (field.field == &ClientRecord::Answers && byte != ' ' &&
                (byte < '0' || byte > '5')) {
                return "the answer to item " + std::to_string(i + 1) + " is \"" +
                       std::string(1, static_cast<char>(byte)) + "\"";
            }
        }
    }
    return {};
}

ClientRecord OverlayChanges(const ClientRecord& mine, const ClientRecord& base,
                            const ClientRecord& theirs) {
    ClientRecord merged = theirs;
    for (const auto& f : ClientRecord::layout()) {
        if (mine.*f.field != base.*f.field) {
            merged.*f.field = mine.*f.field;
        }
    }
    return merged;
}

}  // namespace qlm
