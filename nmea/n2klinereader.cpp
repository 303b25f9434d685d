#include "n2klinereader.h"

#include <string_view>

namespace {
constexpr int IdentifierDigits = 8;
constexpr quint32 MaxIdentifier = 0x1FFFFFFF; // 29 bits
constexpr int MaxFrameBytes = 8;

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// All of `text` as hex digits, at most 8 of them.
bool readHex(std::string_view text, quint32 &value)
{
    if (text.empty() || text.size() > 8)
        return false;
    value = 0;
    for (const char c : text) {
        const int digit = hexValue(c);
        if (digit < 0)
            return false;
        value = (value << 4) | quint32(digit);
    }
    return true;
}

bool readIdentifier(std::string_view text, quint32 &canId)
{
    return text.size() == IdentifierDigits && readHex(text, canId) && canId <= MaxIdentifier;
}

// Hex pairs, one byte each, appended to data.
bool readBytes(std::string_view text, QByteArray &data)
{
    quint32 byte = 0;
    for (size_t i = 0; i < text.size(); i += 2) {
        if (i + 2 > text.size() || !readHex(text.substr(i, 2), byte) || data.size() == MaxFrameBytes)
            return false;
        data.append(char(byte));
    }
    return true;
}

// The blank-separated words of a line, at most MaxWords; false if there are more.
constexpr int MaxWords = 3 + MaxFrameBytes;
int splitWords(std::string_view line, std::string_view *words)
{
    int count = 0;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        const size_t begin = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t')
            ++at;
        if (at == begin)
            break;
        if (count == MaxWords)
            return -1;
        words[count++] = line.substr(begin, at - begin);
    }
    return count;
}
} // namespace

N2kLineReader::N2kLineReader(NmeaConsumer *consumer, int sourceId)
    : m_decoder(consumer, sourceId)
{
}

bool N2kLineReader::readFrame(const QByteArray &line, quint32 &canId, QByteArray &data)
{
    std::string_view words[MaxWords];
    const int count = splitWords(std::string_view(line.constData(), size_t(line.size())), words);
    data.clear();
    if (count < 3)
        return false;
    const std::string_view time = words[0];
    if (time.front() == '(' && time.back() == ')' && count == 3) {
        const size_t hash = words[2].find('#');
        return hash != std::string_view::npos && readIdentifier(words[2].substr(0, hash), canId)
            && readBytes(words[2].substr(hash + 1), data);
    }
    if (time.find(':') == std::string_view::npos || (words[1] != "R" && words[1] != "T")
        || !readIdentifier(words[2], canId))
        return false;
    for (int i = 3; i < count; ++i) {
        if (words[i].size() != 2 || !readBytes(words[i], data))
            return false;
    }
    return true;
}

bool N2kLineReader::isValidSentence(const QByteArray &line, int &index)
{
    index = 0;
    return readFrame(line, m_canId, m_data);
}

void N2kLineReader::parseSentence(const QByteArray &, int, int)
{
    m_decoder.feed(m_canId, m_data);
}
