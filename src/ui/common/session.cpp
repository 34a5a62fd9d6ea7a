#include "ui/common/session.h"

#include <algorithm>
#include <utility>

namespace xuan5::ui {
namespace {

// Folds later changes into earlier unsaved ones: a clear drops what was written before it.
void Fold(BookChanges& into, BookChanges from) {
    if (from.logCleared) into.records.clear();
    if (from.monitorCleared) into.monitorRows.clear();
    into.history = into.history || from.history;
    into.plan = into.plan || from.plan;
    into.logCleared = into.logCleared || from.logCleared;
    into.monitorCleared = into.monitorCleared || from.monitorCleared;
    into.records.merge(from.records);
    into.monitorRows.merge(from.monitorRows);
    into.newBases.merge(from.newBases);
    into.oldestKeptBases = std::max(into.oldestKeptBases, from.oldestKeptBases);
}

}  // namespace

std::size_t Session::Index(int region) {
    return static_cast<std::size_t>(std::clamp(region, 1, kRegionCount));
}

Status Session::OpenBooks(const std::filesystem::path& file) {
    Result<BookStore> store = BookStore::Open(file);
    if (!store) return store.failure();
    store_.emplace(std::move(*store));
    return Ok();
}

Result<std::optional<std::filesystem::path>> Session::RecheckBooks(
    const std::filesystem::path& file, const std::string& stamp) {
    if (!store_) return std::optional<std::filesystem::path>();
    for (int region = 1; region <= kRegionCount; ++region) Load(region);
    store_.reset();
    Result<std::optional<std::filesystem::path>> check = CheckRecordsFile(file, stamp);
    const Status reopened = OpenBooks(file);
    if (!check || !*check) return reopened ? check : reopened.failure();
    // The new file takes everything the books hold; what could not be read stays aside.
    if (!reopened) return reopened.failure();
    for (int region = 1; region <= kRegionCount; ++region) {
        const std::size_t i = Index(region);
        if (unreadable_[i]) continue;
        unsaved_[i] = EverythingOf(*books_[i]);
        if (const Status saved = Save(region); !saved) return saved.failure();
    }
    return check;
}

RecordBook& Session::Load(int region) const {
    const std::size_t i = Index(region);
    if (!books_[i]) {
        const int r = static_cast<int>(i);
        Result<RecordBook> loaded = store_ ? store_->Load(r) : RecordBook(r);
        if (!loaded) {
            // It starts empty in memory; the file keeps what it holds.
            unreadable_[i] = true;
            loadFailures_.push_back(loaded.messages().front());
        }
        books_[i].emplace(loaded ? std::move(*loaded) : RecordBook(r));
    }
    return *books_[i];
}

RecordBook& Session::Book(int region) {
    return Load(region);
}

const RecordBook& Session::Shown() const {
    return Load(RegionCode);
}

std::vector<Message> Session::TakeLoadFailures() {
    return std::exchange(loadFailures_, {});
}

DrawTable& Session::IncomingDraws(int region) {
    return incoming_[Index(region)];
}

std::int32_t& Session::UpdateCount(int region) {
    return updates_[Index(region)];
}

Status Session::Save(int region) {
    const std::size_t i = Index(region);
    if (!books_[i]) return Ok();
    Fold(unsaved_[i], books_[i]->TakeChanges());
    if (!store_ || unreadable_[i] || !unsaved_[i].Any()) return Ok();
    Status saved = store_->Save(*books_[i], unsaved_[i]);
    if (saved) unsaved_[i] = BookChanges{};
    return saved;
}

}  // namespace xuan5::ui
