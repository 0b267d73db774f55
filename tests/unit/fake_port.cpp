#include "fake_port.h"

#include "base/text.h"

namespace lumiseek::test {

void FakePort::BoxReplaceSelection(const std::string& t) {
    // Selection positions count UTF-16 units, as the rich edit control does.
    std::u16string box = Utf8ToUtf16(boxText);
    int from = selFrom, to = selTo < 0 ? static_cast<int>(box.size()) : selTo;
    if (from > to) std::swap(from, to);
    from = std::min<int>(from, box.size());
    to = std::min<int>(to, box.size());
    std::u16string ins = Utf8ToUtf16(t);
    box = box.substr(0, from) + ins + box.substr(to);
    boxText = Utf16ToUtf8(box);
    selFrom = selTo = from + static_cast<int>(ins.size());
}

std::string FakePort::AnsiToUtf8(const std::string& b) { return Windows1252ToUtf8(b); }

}  // namespace lumiseek::test
