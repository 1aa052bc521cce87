#include "editor/support/modUndoWrite.h"

#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"

namespace modUndoWrite {

namespace {

// A header put reports no failure of its write, so the stored header is
// read back.
bool PutHeader(const CArchiveObject& archive, const BString& text)
{
    archive.PutHeader(CArchiveObject::ToQString(text));
    if (CArchiveObject::StoredHeader(*archive.Snapshot().get()).view() == text.view())
        return true;
    qCWarning(lcEditor) << "the header did not take its text back";
    return false;
}

// `forward` makes the step, otherwise it is taken back.
bool Write(const CArchiveObject& archive, const CUndoStep& step, bool forward)
{
    const bool insert = (step.kind == CUndoStep::Kind::Inserted) == forward;
    const size_t text = forward ? 1 : 0;
    try {
        switch (step.kind) {
        case CUndoStep::Kind::Inserted:
        case CUndoStep::Kind::Deleted:
            return insert ? archive.InsertMany(step.indexes, step.texts)
                          : archive.DeleteMany(step.indexes);
        case CUndoStep::Kind::Replaced:
            return step.indexes.size() == 1 && step.texts.size() == 2 &&
                   archive.ReplaceItem(step.indexes[0], step.texts[text]);
        case CUndoStep::Kind::Header:
            return step.texts.size() == 2 && PutHeader(archive, step.texts[text]);
        }
    } catch (const EditorError&) {
        return false; // logged by the archive
    }
    return false;
}

} // namespace

bool Undo(const CArchiveObject& archive, const CUndoStep& step)
{
    return Write(archive, step, false);
}

bool Redo(const CArchiveObject& archive, const CUndoStep& step)
{
    return Write(archive, step, true);
}

} // namespace modUndoWrite
