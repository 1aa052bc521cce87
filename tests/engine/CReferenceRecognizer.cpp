#include "tests/engine/CReferenceRecognizer.h"

namespace zrv::test {

CReferenceRecognizer::CReferenceRecognizer(const std::string& bytes)
{
    enum class State { Plain, AfterLineFeed, AfterPercent };
    State state = State::Plain;
    int64_t counter = 0;
    for (const char byte : bytes) {
        if (m_offsets.empty())
            m_header.push_back(byte);
        ++counter;
        switch (state) {
        case State::Plain:
            state = byte == '\n' ? State::AfterLineFeed : State::Plain;
            break;
        case State::AfterLineFeed:
            state = byte == '%'    ? State::AfterPercent
                    : byte == '\n' ? State::AfterLineFeed
                                   : State::Plain;
            break;
        case State::AfterPercent:
            if (byte == '\n')
                m_offsets.push_back(counter);
            state = State::Plain;
            break;
        }
    }
    // The first separator's own bytes never belong to the header.
    if (!m_offsets.empty())
        m_header.resize(static_cast<size_t>(m_offsets.front() - 3));
}

} // namespace zrv::test
