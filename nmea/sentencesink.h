#pragma once

#include <QByteArray>

// Where the line framing hands the lines it cuts from a byte stream: first
// the check (known sentence, right checksum), then, if that passed, the
// decoding. The receiver is one; the decoding tool and the benchmark have
// their own.
class SentenceSink
{
public:
    virtual ~SentenceSink() = default;
    virtual bool isValidSentence(const QByteArray &line, int &index) = 0;
    virtual void parseSentence(const QByteArray &line, int index, int sourceId) = 0;
};
