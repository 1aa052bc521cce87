#pragma once

#include "component/IFortune.h"
#include "runtime/com/BString.h"
#include "runtime/com/ComPtr.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <QString>
#include <vector>

// The editor's one way to an archive: a Fortune object created through the
// component runtime by its class identity. A failing call is logged to
// zrv.editor and thrown as EditorError with the call's result as its number.
// Copies share the object.
class CArchiveObject final {
public:
    // Called for a text AddMany's single adds did not take: its position and
    // the result of its Add. Returns whether to go on with the texts after it.
    using FailedAdd = std::function<bool(size_t position, HRESULT hr)>;

    CArchiveObject() = default;
    // The given Fortune object; empty for none.
    explicit CArchiveObject(ComPtr<IFortune> fortune);

    // A new, empty Fortune object.
    static CArchiveObject Create();
    // Writes a new, empty archive to the file at path.
    static void CreateEmpty(const QString& path);

    explicit operator bool() const { return static_cast<bool>(mFortune); }
    // Whether both are the same object.
    bool operator==(const CArchiveObject& other) const
    {
        return mFortune.get() == other.mFortune.get();
    }
    void reset() { mFortune.reset(); }

    void Load(const QString& path);
    int32_t Count() const;
    // The fortune's text as the component hands it out.
    BString Item(int32_t index) const;
    void PutItem(int32_t index, const BString& text) const;
    QString Name() const;
    QString Header() const;
    void PutHeader(const QString& header) const;
    void Add(const BString& text) const;
    void Delete(int32_t index) const;
    // The header and every fortune, read with one check of the file.
    ComPtr<IFortuneSnapshot> Snapshot() const;
    // The snapshot's count, header and fortune `index`, as Count, Header and
    // Item give them.
    static int32_t Count(IFortuneSnapshot& snapshot);
    static QString Header(IFortuneSnapshot& snapshot);
    static BString Item(IFortuneSnapshot& snapshot, int32_t index);
    // The fortune as the file stores it, which InsertMany puts back exactly.
    static BString StoredItem(IFortuneSnapshot& snapshot, int32_t index);
    static BString StoredHeader(IFortuneSnapshot& snapshot);

    // Appends `texts` in order with one batch call. When the batch is refused
    // as a whole (a text that cannot be stored, a failed write), the texts are
    // added again one Add each, so that exactly the texts single adds would
    // take are taken, each failure reported to onFailedAdd. Returns how many
    // texts were appended. Fails only for an empty archive object.
    size_t AddMany(const std::vector<BString>& texts, const FailedAdd& onFailedAdd) const;
    // Deletes the fortunes at `indices` (numbered as before the call) with one
    // batch call; false, logged, with the archive unchanged when it failed.
    bool DeleteMany(const std::vector<int32_t>& indices) const;
    // Puts each text, stored exactly as given, at its index (1-based,
    // ascending, numbered as after the call) with one batch call; false,
    // logged, with the archive unchanged when it failed.
    bool InsertMany(const std::vector<int32_t>& indices, const std::vector<BString>& texts) const;
    // Replaces the fortune at `index` with `text`, stored exactly as given, in
    // one batch call; false, logged, with the archive unchanged when it failed.
    bool ReplaceItem(int32_t index, const BString& text) const;

    // The same UTF-16 text as a QString.
    static QString ToQString(const BString& text);
    static BString ToBString(const QString& text);

private:
    IFortune& Fortune(const char* operation) const;
    ComPtr<IFortuneBatch> Batch() const;
    // One call on the batch interface; false, logged, when it failed.
    bool BatchCall(const char* operation, const std::function<HRESULT(IFortuneBatch&)>& call) const;

    ComPtr<IFortune> mFortune;
};
