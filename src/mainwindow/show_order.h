// The show start: the picture paths and the order the show presents them in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mainwindow/shuffle_random.h"
#include "settings/lumen_b.h"

namespace lumen::mainwindow {

// Fills data.SlideOrder[1..ImageCount]: 1, 2, 3, ... when sequential, otherwise (any value) a
// random permutation drawn without replacement by rank, re-seeding before every draw.
// Expects SlideOrder sized ImageCount + 1 and all 0. The pictures not drawn yet are
// counted in a Fenwick tree, so each draw finds its rank in log n steps.
void Syori_SEQ(settings::ShowData& data, settings::Order showOrder, ShuffleRandom& random);

// What the start button builds before it opens the show: ImageCount from the file list,
// ImagePaths[i] = imageFolder + "/" + name (the separator always added), SlideOrder.
void BuildShowData(settings::ShowData& data, const std::string& imageFolder, const std::vector<std::string>& fileList,
                   settings::Order showOrder, ShuffleRandom& random);

}  // namespace lumen::mainwindow
