#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace qlm {

// One client, exactly as stored: 185 single-byte characters, every field a fixed-width,
// left-aligned, blank-padded text. The members always hold exactly their width.
struct ClientRecord {
    static constexpr std::size_t Size = 185;
    static constexpr std::size_t AnswerCount = 109;
    static constexpr int CourtCountCount = 11;

    std::string Name;
    std::string Age;
    std::string Sex;
    std::string Race;
    std::string Education;
    std::string DateOfBirth;
    std::string MaritalStatus;
    std::string DateScored;
    std::string AgeAtFirstArrest;
    std::string TruancyCount;
    std::string RunawayCount;
    std::string ArrestCount;
    std::string ProbationCount;
    std::string RevocationCount;
    std::string DetentionCount;
    std::string ConvictionCount;
    std::string DUIArrestCount;
    std::string AlcoholArrestCount;
    std::string DrugArrestCount;
    std::string Answers;
    std::string EditCount;
    std::string NameDeleted;

    using Field = std::string ClientRecord::*;
    struct FieldLayout {
        const char* name;
        Field field;
        std::size_t offset;
        std::size_t width;
    };
    // The 22 fields in record order, with their offsets and widths.
    static const std::array<FieldLayout, 22>& layout();
    // The member of court history count i (1 to 11), in record order.
    static Field courtCountField(int i);
    static std::size_t widthOf(Field field);

    // A fully blank record.
    ClientRecord();

    // Reads a record; a short record is read as if padded with blanks.
    static ClientRecord fromBytes(std::string_view bytes);
    std::string toBytes() const;

    // Stores `text` in `field`, cut or blank-padded to the field's width.
    void set(Field field, std::string_view text);
    std::string& courtCount(int i) { return this->*courtCountField(i); }
    const std::string& courtCount(int i) const { return this->*courtCountField(i); }

    bool operator==(const ClientRecord&) const = default;
};

// `text` cut or blank-padded to `width` characters.
std::string FixedWidth(std::string_view text, std::size_t width);

// What fills out a record cut short when a record is written after it: a control character, so
// that the record stays damaged, and read as the cut it marks.
inline constexpr char CutRecordPadding = '\0';

// What makes the stored bytes of a record something no screen could have written: cut short
// (or padded with CutRecordPadding), a control character in any field, or an answer other than
// a blank or "0" to "5". Empty for a sound record.
std::string RecordDamage(std::string_view bytes);

// `mine` laid over `theirs`: the fields in which `mine` differs from `base`, the record both
// were made from, and those of `theirs` for the rest.
ClientRecord OverlayChanges(const ClientRecord& mine, const ClientRecord& base,
                            const ClientRecord& theirs);
// `text` without blanks at either end.
std::string Trim(std::string_view text);

}  // namespace qlm
