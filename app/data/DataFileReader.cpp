#include "data/DataFileReader.h"

#include "data/DataFileLayout.h"
#include "data/DataNumberFormat.h"

#include <fstream>
#include <iterator>

namespace DataFileReader {

namespace {

enum class Column { Int32, UInt16, Float };

// Value columns of each kind, in file order; the last is the interval.
const std::vector<Column> &ColumnsOf(int kind) {
    static const std::vector<Column> layouts[4] = {
        {Column::Int32, Column::Int32, Column::Int32, Column::Int32, Column::Float},
        {Column::UInt16, Column::UInt16, Column::UInt16, Column::UInt16, Column::Float},
        {Column::Int32, Column::Int32, Column::Int32, Column::Float},
        {Column::Int32, Column::Float, Column::Float},
    };
    return layouts[kind];
}

// Largest file worth reading: far beyond any file the program writes (a full 20000-record file is well
// under 2 MB).
constexpr std::uintmax_t MaxFileBytes = 64u * 1024u * 1024u;

// Reads lines ending with CR LF, LF or CR from the start of a text.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : m_text(text) {}
    bool AtEnd() const { return m_pos >= m_text.size(); }
    std::string_view Next() {
        const auto end = m_text.find_first_of("\r\n", m_pos);
        std::string_view line =
            m_text.substr(m_pos, end == std::string_view::npos ? std::string_view::npos : end - m_pos);
        if (end == std::string_view::npos) {
            m_pos = m_text.size();
        } else {
            m_pos = end + 1;
            if (m_text[end] == '\r' && m_pos < m_text.size() && m_text[m_pos] == '\n') ++m_pos;
        }
        return line;
    }
    std::string_view Rest() const { return m_text.substr(m_pos); }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// Line text minus its first `length` characters (the prefix is removed by length, not searched for).
std::string_view AfterPrefix(std::string_view line, std::size_t length) {
    return line.size() <= length ? std::string_view() : line.substr(length);
}

ParsedFile Rejected(std::string reason) {
    ParsedFile file;
    file.reason = std::move(reason);
    return file;
}

bool ParseHeaderValue(std::string_view line, std::size_t prefixLength, float &value) {
    return DataNumberFormat::ParseFloat(Trimmed(AfterPrefix(line, prefixLength)), value);
}

} // namespace

int KindOfFirstLine(std::string_view line) {
    for (int kind = 0; kind < DataSetCountAll; ++kind)
        if (line == DataFileLayout::CurrentFirstLine[kind] || line == DataFileLayout::OlderFirstLine[kind])
            return kind;
    return -1;
}

ParsedFile Parse(std::string_view text, const int32_t (&maxRecords)[4]) {
    LineCursor lines(text);
    const std::string_view first = lines.Next();
    const int kind = KindOfFirstLine(first);
    if (kind < 0) return Rejected("first line is not a data file header");

    // Header lines, each read whole.
    std::string_view header[5];
    header[0] = first;
    for (int n = 1; n < DataFileLayout::HeaderLineCount(kind); ++n) {
        if (lines.AtEnd()) return Rejected("file ends inside its header");
        header[n] = lines.Next();
        if (header[n].size() > DataFileLayout::MaxHeaderLine)
            return Rejected("header line " + std::to_string(n + 1) + " is longer than " +
                            std::to_string(DataFileLayout::MaxHeaderLine) + " characters");
    }

    ParsedFile file;
    file.kind = kind;
    if (DataFileLayout::HasHeaderValues(kind)) {
        file.header.unitsName = std::string(AfterPrefix(header[1], DataFileLayout::UnitsPrefix.size()));
        if (!ParseHeaderValue(header[2], DataFileLayout::ResolutionPrefix.size(),
                              file.header.resolutionMultiplier))
            return Rejected("resolution multiplier is not a number");
        if (!ParseHeaderValue(header[3], DataFileLayout::InterpolationPrefix.size(),
                              file.header.interpolationMultiplier))
            return Rejected("interpolation multiplier is not a number");
    }

    // Records: whitespace-separated values in column order; tabs and line ends both separate.
    const auto &layout = ColumnsOf(kind);
    file.columns.assign(layout.size(), {});
    const std::string_view body = lines.Rest();
    std::size_t pos = 0;
    std::size_t column = 0;
    int32_t records = 0;
    while (true) {
        while (pos < body.size() && IsSpace(body[pos]))
            ++pos;
        if (pos >= body.size()) break;
        const std::size_t start = pos;
        while (pos < body.size() && !IsSpace(body[pos]))
            ++pos;
        const std::string_view token = body.substr(start, pos - start);

        double value = 0.0;
        bool valid = false;
        switch (layout[column]) {
        case Column::Int32: {
            int32_t v = 0;
            valid = DataNumberFormat::ParseInt32(token, v);
            value = v;
            break;
        }
        case Column::UInt16: {
            uint16_t v = 0;
            valid = DataNumberFormat::ParseUInt16(token, v);
            value = v;
            break;
        }
        case Column::Float: {
            float v = 0.0f;
            valid = DataNumberFormat::ParseFloat(token, v);
            value = v;
            break;
        }
        }
        if (!valid)
            return Rejected("record " + std::to_string(records + 1) + ": \"" +
                            std::string(token.substr(0, 40)) + "\" is not a valid value");
        file.columns[column].push_back(value);
        if (++column == layout.size()) {
            column = 0;
            if (++records > maxRecords[kind])
                return Rejected("more than " + std::to_string(maxRecords[kind]) + " records");
        }
    }
    // Only complete records count: the values of a last record cut short are left out.
    for (auto &values : file.columns)
        values.resize(static_cast<std::size_t>(records));

    file.records = records;
    file.ok = true;
    return file;
}

ParsedFile ParseFile(const std::filesystem::path &path, const int32_t (&maxRecords)[4]) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return Rejected("not a readable file: " + path.string());
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return Rejected("cannot read " + path.string());
    if (size > MaxFileBytes) return Rejected("file too large");
    std::ifstream in(path, std::ios::binary);
    if (!in) return Rejected("cannot open " + path.string());
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return Rejected("cannot read " + path.string());
    return Parse(text, maxRecords);
}

} // namespace DataFileReader
