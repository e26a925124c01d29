#include "platform/sys/regedit_file.h"

#include <cstdint>
#include <optional>

namespace {

constexpr std::string_view Header = "REGEDIT4";
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t HexLineWidth = 78;  // the editor keeps its lines within 80 columns
constexpr char HexDigits[] = "0123456789abcdef";

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        c = LowerAscii(c);
    return folded;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

void SkipBlanks(std::string_view& rest) {
    while (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
}

std::string_view Trimmed(std::string_view text) {
    SkipBlanks(text);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool Consume(std::string_view& rest, std::string_view prefix) {
    if (rest.size() < prefix.size() || Folded(rest.substr(0, prefix.size())) != prefix)
        return false;
    rest.remove_prefix(prefix.size());
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = LowerAscii(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// One to maxDigits hex digits, and no further digit right after them.
bool ReadHexNumber(std::string_view& rest, std::size_t maxDigits, std::uint32_t& number) {
    std::size_t count = 0;
    number = 0;
    while (count < rest.size() && HexValue(rest[count]) >= 0) {
        if (++count > maxDigits)
            return false;
        number = number << 4 | static_cast<std::uint32_t>(HexValue(rest[count - 1]));
    }
    rest.remove_prefix(count);
    return count > 0;
}

// A text in double quotes, a backslash taking the next character as it is.
bool ReadQuoted(std::string_view& rest, std::string& text) {
    if (rest.empty() || rest.front() != '"')
        return false;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        char c = rest[i];
        if (c == '"') {
            rest.remove_prefix(i + 1);
            return true;
        }
        if (c == '\\' && ++i < rest.size())
            c = rest[i];
        text.push_back(c);
    }
    return false;
}

// Walks a text line by line; a line leaves out its LF and a CR before it.
class LineReader {
public:
    explicit LineReader(std::string_view text) : rest_(text) {}

    bool Next(std::string_view& line) {
        if (rest_.empty())
            return false;
        ++number_;
        const std::size_t end = rest_.find('\n');
        line = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return true;
    }

    // The number of the line Next gave last, from 1.
    std::size_t Number() const { return number_; }

private:
    std::string_view rest_;
    std::size_t number_ = 0;
};

// Comma-separated bytes of one or two hex digits, going on to the next line after a "\".
bool ReadHexBytes(std::string_view& rest, LineReader& lines, std::vector<BYTE>& data) {
    for (;;) {
        SkipBlanks(rest);
        if (rest.empty())
            return true;
        if (rest.front() == '\\' && Trimmed(rest.substr(1)).empty()) {
            if (!lines.Next(rest))
                return false;  // cut short
            continue;
        }
        std::uint32_t byte = 0;
        if (!ReadHexNumber(rest, 2, byte))
            return false;
        data.push_back(static_cast<BYTE>(byte));
        SkipBlanks(rest);
        if (rest.empty())
            return true;
        if (rest.front() != ',')
            return false;
        rest.remove_prefix(1);
    }
}

std::optional<RegValue> ParseValue(std::string_view rest, LineReader& lines) {
    RegValue value;
    if (!Consume(rest, "@") && !ReadQuoted(rest, value.name))
        return std::nullopt;
    SkipBlanks(rest);
    if (!Consume(rest, "="))
        return std::nullopt;
    SkipBlanks(rest);

    bool read = false;
    if (!rest.empty() && rest.front() == '"') {
        std::string text;
        read = ReadQuoted(rest, text);
        value.type = REG_SZ;
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
    } else if (Consume(rest, "dword:")) {
        std::uint32_t number = 0;
        read = ReadHexNumber(rest, 8, number);
        value.type = REG_DWORD;
        for (int shift = 0; shift < 32; shift += 8)
            value.data.push_back(static_cast<BYTE>(number >> shift));
    } else if (Consume(rest, "hex:")) {
        value.type = REG_BINARY;
        read = ReadHexBytes(rest, lines, value.data);
    } else if (Consume(rest, "hex(")) {
        read = ReadHexNumber(rest, 8, value.type) && Consume(rest, "):") && ReadHexBytes(rest, lines, value.data);
    }
    SkipBlanks(rest);
    if (!read || !rest.empty())
        return std::nullopt;
    return value;
}

// Strips one quote mark of any kind a hand may type (straight, single, typographic) from
// the front or the back of `text`.
constexpr std::string_view QuoteMarks[] = {
    "\"",           "'",        "`",       "\xE2\x80\x98", "\xE2\x80\x99", "\xE2\x80\x9C", "\xE2\x80\x9D",
    "\xE2\x80\x9E", "\xC2\xAB", "\xC2\xBB"};

void StripQuoteMarks(std::string_view& text) {
    for (std::string_view mark : QuoteMarks) {
        if (text.substr(0, mark.size()) == mark)
            text.remove_prefix(mark.size());
        if (text.size() >= mark.size() && text.substr(text.size() - mark.size()) == mark)
            text.remove_suffix(mark.size());
    }
}

// The value name that a line which is no value seems to give: a quoted name as the file
// form has it, or else what stands before the first "=" without its quote marks, when that
// is a name made of letters, digits, "_", "-" and "."; empty when none can be seen.
std::string SeenName(std::string_view line) {
    std::string name;
    if (std::string_view rest = line; ReadQuoted(rest, name))
        return name;
    std::string_view before = Trimmed(line.substr(0, line.find('=')));
    StripQuoteMarks(before);
    for (char c : before) {
        const bool nameCharacter = (c >= '0' && c <= '9') || (LowerAscii(c) >= 'a' && LowerAscii(c) <= 'z') ||
                                   c == '_' || c == '-' || c == '.';
        if (!nameCharacter)
            return {};
    }
    return std::string(before);
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

// A REG_SZ that the quoted form carries: one text, NUL at the end only, no control characters.
bool IsPlainText(const RegValue& value) {
    if (value.type != REG_SZ || value.data.empty() || value.data.back() != 0)
        return false;
    for (std::size_t i = 0; i + 1 < value.data.size(); ++i) {
        if (value.data[i] < 0x20 || value.data[i] == 0x7F)
            return false;
    }
    return true;
}

void AppendHexData(std::string& out, std::size_t lineStart, const std::vector<BYTE>& data) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        out += HexDigits[data[i] >> 4];
        out += HexDigits[data[i] & 0xF];
        if (i + 1 == data.size())
            break;
        out += ',';
        if (out.size() - lineStart >= HexLineWidth - 3) {
            out += "\\\n  ";
            lineStart = out.size() - 2;
        }
    }
}

void AppendValue(std::string& out, const RegValue& value) {
    const std::size_t lineStart = out.size();
    if (value.name.empty())
        out += '@';
    else
        AppendQuoted(out, value.name);
    out += '=';
    if (IsPlainText(value)) {
        AppendQuoted(out, std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size() - 1));
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        out += "dword:";
        for (int i = 3; i >= 0; --i) {
            out += HexDigits[value.data[i] >> 4];
            out += HexDigits[value.data[i] & 0xF];
        }
    } else {
        if (value.type == REG_BINARY) {
            out += "hex:";
        } else {
            out += "hex(";
            bool digits = false;
            for (int shift = 28; shift >= 0; shift -= 4) {
                const unsigned digit = value.type >> shift & 0xF;
                digits = digits || digit != 0 || shift == 0;
                if (digits)
                    out += HexDigits[digit];
            }
            out += "):";
        }
        AppendHexData(out, lineStart, value.data);
    }
    out += '\n';
}

}  // namespace

const RegValue* RegValueList::Find(std::string_view name) const& {
    const auto found = index_.find(Folded(name));
    return found == index_.end() ? nullptr : &values_[found->second];
}

void RegValueList::MarkUnusable(std::string_view name) {
    unusable_.insert(Folded(name));
}

bool RegValueList::IsUnusable(std::string_view name) const {
    return unusable_.count(Folded(name)) != 0;
}

void RegValueList::Set(RegValue value) {
    const auto [found, added] = index_.try_emplace(Folded(value.name), values_.size());
    if (added) {
        values_.push_back(std::move(value));
    } else {
        RegValue& old = values_[found->second];
        old.type = value.type;
        old.data = std::move(value.data);
    }
}

RegValueList RegeditFile::Parse(std::string_view text, std::string_view keyPath, KeyText* found,
                                std::vector<RegUnreadLine>* unread) {
    KeyText ignored = KeyText::Key;
    KeyText& status = found != nullptr ? *found : ignored;
    RegValueList values;
    if (text.size() > MaxTextSize) {
        text = text.substr(0, MaxTextSize);
        const std::size_t lastEnd = text.rfind('\n');
        text = lastEnd == std::string_view::npos ? std::string_view() : text.substr(0, lastEnd + 1);
    }
    if (text.substr(0, ByteOrderMark.size()) == ByteOrderMark)
        text.remove_prefix(ByteOrderMark.size());

    LineReader lines(text);
    std::string_view line;
    status = KeyText::NoHeader;
    if (!lines.Next(line) || Trimmed(line) != Header)
        return values;

    status = KeyText::NoSection;
    const std::string wantedSection = Folded(keyPath);
    bool inSection = false;
    while (lines.Next(line)) {
        line = Trimmed(line);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            inSection =
                line.size() >= 2 && line.back() == ']' && Folded(line.substr(1, line.size() - 2)) == wantedSection;
            if (inSection)
                status = KeyText::Key;
        } else if (inSection) {
            RegUnreadLine said{lines.Number(), {}, false};
            if (auto value = ParseValue(line, lines)) {
                said.repeated = values.Find(value->name) != nullptr;
                said.name = value->name;
                values.Set(std::move(*value));
                if (!said.repeated)
                    continue;
            } else {
                said.name = SeenName(line);
            }
            if (!said.name.empty())
                values.MarkUnusable(said.name);
            if (unread != nullptr)
                unread->push_back(std::move(said));
        }
    }
    return values;
}

std::string RegeditFile::Format(std::string_view keyPath, const RegValueList& values) {
    std::string out(Header);
    out += "\n\n[";
    out += keyPath;
    out += "]\n";
    for (const RegValue& value : values.Values())
        AppendValue(out, value);
    out += '\n';
    return out;
}
