#include "n2kfastpacket.h"

bool N2kFastPacket::add(quint8 source, quint32 pgn, const QByteArray &frame, QByteArray &packet)
{
    if (frame.isEmpty())
        return false;
    const quint32 key = (pgn << 8) | source;
    const int sequence = (quint8(frame.at(0)) >> 5) & 7;
    const int counter = quint8(frame.at(0)) & 0x1F;
    auto it = m_partial.find(key);
    if (counter == 0) {
        const int length = frame.size() > 1 ? quint8(frame.at(1)) : MaxLength + 1;
        if (length > MaxLength || (frame.size() < 8 && frame.size() - 2 < length)) {
            m_partial.remove(key);
            return false;
        }
        it = m_partial.insert(key, Partial{sequence, 1, length, frame.mid(2, 6)});
    } else if (it == m_partial.end()) {
        return false; // its first frame never came
    } else if (it->sequence == sequence && counter == it->nextFrame - 1) {
        return false; // the frame just taken, sent again
    } else if (it->sequence != sequence || counter != it->nextFrame
               || (frame.size() < 8 && it->data.size() + frame.size() - 1 < it->length)) {
        // A frame lost, another packet begun without its first frame, or a
        // short frame before the end: what is held would be stitched wrong.
        m_partial.erase(it);
        return false;
    } else {
        it->data += frame.mid(1, 7);
        ++it->nextFrame;
    }
    if (it->data.size() < it->length)
        return false;
    packet = it->data.left(it->length);
    m_partial.erase(it);
    return true;
}
