#include "fortarc/CSnapshotReader.h"

#include "fortarc/CFortuneArchive.h"
#include "runtime/com/BString.h"

namespace fortarc {

CSnapshotReader::CSnapshotReader(ComPtr<IFortuneSnapshot> snapshot, std::string label)
    : m_snapshot(std::move(snapshot)), m_label(std::move(label))
{}

int32_t CSnapshotReader::Count() const
{
    LONG count = 0;
    CheckCall(m_snapshot->Count(&count), m_label, "count");
    return count;
}

std::u16string CSnapshotReader::Item(int32_t index) const
{
    return std::u16string(Text(index).view());
}

BString CSnapshotReader::Text(int32_t index) const
{
    BString text;
    CheckCall(m_snapshot->get_Item(index, text.put()), m_label, "read");
    return text;
}

std::u16string CSnapshotReader::Header() const
{
    BString text;
    CheckCall(m_snapshot->get_Header(text.put()), m_label, "read the header");
    return std::u16string(text.view());
}

} // namespace fortarc
