#include "views/chart/min_max_pyramid.h"

TMinMaxPyramid::TMinMaxPyramid()
{
    std::size_t block = BaseBlock;
    for (int level = 0; level < Levels; ++level, block *= Fan)
        fBlock[level] = block;
}

void TMinMaxPyramid::push(double v)
{
    if (fCount % BaseBlock == 0)
        fLevels[0].emplace_back();
    fLevels[0].back().add(v);
    ++fCount;
    // Only whole blocks are ever read: a block goes into the one above it once it is complete,
    // which keeps a value's cost at one block instead of one per level.
    for (int level = 1; level < Levels && fCount % fBlock[level - 1] == 0; ++level) {
        if ((fCount - fBlock[level - 1]) % fBlock[level] == 0)
            fLevels[level].emplace_back();
        fLevels[level].back().add(fLevels[level - 1].back());
    }
}

void TMinMaxPyramid::clear()
{
    for (std::vector<MinMax> &blocks : fLevels)
        std::vector<MinMax>().swap(blocks);
    fCount = 0;
}
