#include "search/results_file.h"

#include <algorithm>

#include "base/port.h"
#include "base/text.h"

namespace lumiseek {

void CsvRows::Append(std::string_view text) {
    if (!skipping_) text_.append(text);
}

void CsvRows::EndField() {
    if (!skipping_) ends_.push_back(text_.size());
}

bool CsvRows::EndRow(const std::function<bool(const RowFields&)>& row) {
    bool go = true;
    if (rowBytes_ > 0 && !skipping_) {
        ends_.push_back(text_.size());
        fields_.clear();
        size_t from = 0;
        for (size_t end : ends_) {
            fields_.push_back(std::string_view(text_).substr(from, end - from));
            from = end;
        }
        go = row(fields_);
    }
    text_.clear();
    ends_.clear();
    rowBytes_ = 0;
    skipping_ = false;
    state_ = State::FieldStart;
    return go;
}

bool CsvRows::Feed(std::string_view t, const std::function<bool(const RowFields&)>& row) {
    // Every byte of the row but its line end is counted before it is kept, so that text_ never
    // grows past the limit.
    const auto count = [this](size_t n) {
        rowBytes_ += n;
        if (!skipping_ && rowBytes_ > maxRowBytes_) {
            skipping_ = true;
            ++tooLong_;
            text_.clear();
            ends_.clear();
        }
    };
    size_t i = 0;
    while (i < t.size()) {
        if (pendingCr_) {
            pendingCr_ = false;
            if (t[i] == '\n') {
                ++i;
                if (!EndRow(row)) return false;
                continue;
            }
            count(1);  // a CR alone is text
            Append("\r");
            state_ = State::Plain;
            continue;
        }
        switch (state_) {
            case State::FieldStart:
                if (t[i] == '"') {
                    count(1);
                    ++i;
                    state_ = State::Quoted;
                    break;
                }
                state_ = State::Plain;
                [[fallthrough]];
            case State::Plain: {
                size_t stop = std::min(t.find_first_of(",\r\n", i), t.size());
                if (stop > i) {
                    count(stop - i);
                    Append(t.substr(i, stop - i));
                    i = stop;
                    break;
                }
                const char c = t[i++];
                if (c == ',') {
                    count(1);
                    EndField();
                    state_ = State::FieldStart;
                } else if (c == '\n') {
                    if (!EndRow(row)) return false;
                } else {
                    pendingCr_ = true;
                }
                break;
            }
            case State::Quoted: {
                size_t quote = std::min(t.find('"', i), t.size());
                count(quote - i);
                Append(t.substr(i, quote - i));
                i = quote;
                if (i < t.size()) {
                    count(1);
                    ++i;
                    state_ = State::QuoteInQuoted;
                }
                break;
            }
            case State::QuoteInQuoted:
                if (t[i] == '"') {  // "" inside quotes: one double quote, and the field goes on quoted
                    count(1);
                    ++i;
                    Append("\"");
                    state_ = State::Quoted;
                } else {  // the closing quote: the rest up to the comma or line end is plain text
                    state_ = State::Plain;
                }
                break;
        }
    }
    return true;
}

namespace {

constexpr size_t kPieceBytes = size_t{1} << 20;

// The length of `bytes` without a UTF-8 sequence begun at its end and not finished.
size_t WholeUtf8Length(std::string_view bytes) {
    const size_t n = bytes.size();
    for (size_t back = 1; back <= 3 && back <= n; ++back) {
        const auto b = static_cast<unsigned char>(bytes[n - back]);
        if ((b & 0xC0) == 0x80) continue;
        const size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return back < need ? n - back : n;
    }
    return n;
}

// What the rows need to know of the file before the first is read.
struct FileSurvey {
    uint64_t bytes = 0;       // read, at most the limit
    bool more = false;        // the file goes on past the limit
    std::string head;         // its first three bytes, for a byte-order mark
    bool utf8 = true;         // every byte valid UTF-8
    size_t lines = 0;         // lines that hold more than a line end: at least the rows
};

FileSurvey SurveyFile(Port& port, const std::string& path, uint64_t maxBytes) {
    FileSurvey survey;
    std::string chunk, carry;  // carry: a UTF-8 sequence split between two reads
    bool lineHasText = false;
    while (survey.bytes < maxBytes) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(kPieceBytes, maxBytes - survey.bytes));
        if (!port.ReadFilePart(path, survey.bytes, want, chunk) || chunk.empty()) break;
        if (chunk.size() > want) chunk.resize(want);
        survey.bytes += chunk.size();
        if (survey.head.size() < 3) survey.head.append(chunk, 0, 3 - survey.head.size());
        size_t from = 0;
        for (size_t at = chunk.find('\n'); at != std::string::npos; from = at + 1, at = chunk.find('\n', from)) {
            const size_t length = at - from;
            if (lineHasText || length > 1 || (length == 1 && chunk[from] != '\r')) ++survey.lines;
            lineHasText = false;
        }
        if (from < chunk.size()) lineHasText = true;
        if (!survey.utf8) continue;
        std::string_view data = chunk;
        if (!carry.empty()) data = carry += chunk;
        const size_t whole = WholeUtf8Length(data);
        survey.utf8 = IsValidUtf8(data.substr(0, whole));
        carry = std::string(data.substr(whole));
    }
    if (!carry.empty()) survey.utf8 = false;  // the file ends inside a character
    if (survey.bytes == maxBytes) survey.more = port.ReadFilePart(path, maxBytes, 1, chunk) && !chunk.empty();
    return survey;
}

}  // namespace

bool ReadCsvFile(Port& port, const std::string& path, const ImportLimits& limits,
                 const std::function<void(size_t rowsAtMost)>& begin,
                 const std::function<bool(const RowFields&)>& row, ImportOutcome& outcome) {
    const FileSurvey survey = SurveyFile(port, path, limits.fileBytes);
    if (survey.bytes == 0) return false;

    // The same choice as DecodeOutsideText makes for a whole file: the byte-order mark of UTF-16 LE
    // or of UTF-8 (whose broken bytes become U+FFFD), else UTF-8 when every byte is, else ANSI.
    enum class Encoding { Utf8, MarkedUtf8, Utf16Le, Ansi } encoding;
    uint64_t offset = 0;
    if (survey.head.compare(0, 2, "\xFF\xFE") == 0) {
        encoding = Encoding::Utf16Le;
        offset = 2;
    } else if (survey.head == "\xEF\xBB\xBF") {
        encoding = survey.utf8 ? Encoding::Utf8 : Encoding::MarkedUtf8;
        offset = 3;
    } else {
        encoding = survey.utf8 ? Encoding::Utf8 : Encoding::Ansi;
    }
    begin(std::min(survey.lines, limits.rows));

    // Decoded part by part into UTF-8 before the split, each part cut where the whole text's decoding
    // would cut as well: after a whole UTF-8 sequence, after a whole UTF-16 unit or surrogate pair, and
    // in the ANSI code page after a byte below 0x40 (never a byte of a double-byte character). A run
    // without such a byte longer than kPieceBytes is too long for a row and decoded as it comes.
    CsvRows csv(limits.rowBytes);
    Utf16LeDecoder utf16;
    std::string chunk, carry, text;
    const auto feed = [&](std::string_view raw, bool last) {
        if (encoding == Encoding::Utf8) return csv.Feed(raw, row);
        text.clear();
        if (encoding == Encoding::Utf16Le) {
            utf16.Decode(raw, text);
            if (last) utf16.Finish(text);
            return csv.Feed(text, row);
        }
        carry.append(raw);
        size_t cut = carry.size();
        if (!last && encoding == Encoding::MarkedUtf8) {
            cut = WholeUtf8Length(carry);
        } else if (!last) {
            const auto safe = std::find_if(carry.rbegin(), carry.rend(),
                                           [](char c) { return static_cast<unsigned char>(c) < 0x40; });
            cut = static_cast<size_t>(carry.rend() - safe);
            if (cut == 0 && carry.size() > kPieceBytes) cut = carry.size();
        }
        const std::string part = carry.substr(0, cut);
        carry.erase(0, cut);
        text = encoding == Encoding::Ansi ? port.AnsiToUtf8(part) : Utf16ToUtf8(Utf8ToUtf16(part));
        return csv.Feed(text, row);
    };

    // Only the bytes surveyed are read: a file still growing is read as it was then.
    bool go = true;
    while (go && offset < survey.bytes) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(kPieceBytes, survey.bytes - offset));
        if (!port.ReadFilePart(path, offset, want, chunk) || chunk.empty()) break;
        if (chunk.size() > want) chunk.resize(want);
        offset += chunk.size();
        go = feed(chunk, false);
    }
    if (go) go = feed({}, true);
    outcome.tooLong = csv.TooLong();
    if (go) {
        outcome.cut = survey.more;
        outcome.unfinished = csv.Pending() && !survey.more;
    }
    return true;
}

}  // namespace lumiseek
