#include "views/chart/min_max_pyramid.h"

TMinMaxPyramid::TMinMaxPyramid()
{
    std::size_t block = BaseBlock;
    for (int level = 0; level < Levels; ++level, block *= Fan)
        fBlock[level] = block;
}

void TMinMaxPyramid::push(double v)
{
    const std::size_t index = fCount++;
    for (int level = 0; level < Levels; ++level) {
        std::vector<MinMax> &blocks = fLevels[level];
        const std::size_t block = index / fBlock[level];
        if (block == blocks.size())
            blocks.emplace_back();
        blocks[block].add(v);
    }
}

void TMinMaxPyramid::clear()
{
    for (std::vector<MinMax> &blocks : fLevels)
        std::vector<MinMax>().swap(blocks);
    fCount = 0;
}
