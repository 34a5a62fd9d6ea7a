// What a back-test or a "寻优" search runs on, read when it starts.
#pragma once

#include <optional>
#include <vector>

#include "archive/draw_archive.h"
#include "store/curve_store.h"

class QWidget;

namespace xuan5::ui {

class Services;
class Session;
class ArchiveService;

struct RunInputs {
    // As the curve store holds them now: a plan run reloads them first, so a run here tests the
    // lines a plan would use.
    LineTexts savedLines;
    // The region's newest draws: the periods asked for and the 120 before them.
    std::vector<DatedDraw> draws;
    // How many draws the archive holds for the region.
    int heldDraws = 0;
};

// Shows the user why and gives nothing when the curve store or the archive cannot be read.
std::optional<RunInputs> ReadRunInputs(const Services& services, const Session& session,
                                       const ArchiveService& archive, QWidget* parent, int periods);

}  // namespace xuan5::ui
