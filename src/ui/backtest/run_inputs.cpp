#include "ui/backtest/run_inputs.h"

#include "ui/common/app_context.h"
#include "ui/common/archive_service.h"

namespace xuan5::ui {

std::optional<RunInputs> ReadRunInputs(const Services& services, const Session& session,
                                       const ArchiveService& archive, QWidget* parent,
                                       int periods) {
    Result<LineTexts> saved = ReadCurveStoreFile(services.StoreFile());
    if (!saved) {
        services.Show(parent, saved.messages().front());
        return std::nullopt;
    }
    const Result<DrawArchive> opened = archive.Open();
    Result<std::vector<DatedDraw>> draws =
        opened ? opened->NewestDraws(session.RegionCode, periods + kHistoryRows) : opened.failure();
    if (!draws) {
        services.Show(parent, draws.messages().front());
        return std::nullopt;
    }
    const Result<int> held = opened->CountDraws(session.RegionCode);
    const int heldDraws = held ? *held : static_cast<int>(draws->size());
    return RunInputs{std::move(*saved), std::move(*draws), heldDraws};
}

}  // namespace xuan5::ui
