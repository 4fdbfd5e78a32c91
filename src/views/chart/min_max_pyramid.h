#pragma once
// Lowest and highest value of any range of a growing column, kept block by block as values
// arrive: blocks of 64 values, then blocks of 8 such blocks, and so on, so that a range costs a
// few dozen steps however long the column is. Not thread-safe; one owner.
#include <cstddef>
#include <limits>
#include <vector>

struct MinMax {
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    bool empty() const { return min > max; }
    void add(double v)
    {
        if (v < min)
            min = v;
        if (v > max)
            max = v;
    }
    void add(const MinMax &o)
    {
        if (o.min < min)
            min = o.min;
        if (o.max > max)
            max = o.max;
    }
};

class TMinMaxPyramid
{
public:
    static constexpr std::size_t BaseBlock = 64;
    static constexpr std::size_t Fan = 8;
    static constexpr int Levels = 8;

    TMinMaxPyramid();
    // Takes the column's next value.
    void push(double v);
    void clear();
    std::size_t count() const { return fCount; }

    // Extremes of values [first, last); `value(i)` reads the column itself for the ragged ends.
    template <class Value>
    MinMax extremes(std::size_t first, std::size_t last, const Value &value) const
    {
        MinMax r;
        if (last > fCount)
            last = fCount;
        std::size_t i = first;
        while (i < last) {
            int level = Levels - 1;
            while (level >= 0 && (i % fBlock[level] != 0 || i + fBlock[level] > last))
                --level;
            if (level < 0) {
                r.add(value(i));
                ++i;
            } else {
                r.add(fLevels[level][i / fBlock[level]]);
                i += fBlock[level];
            }
        }
        return r;
    }

private:
    std::vector<MinMax> fLevels[Levels];
    std::size_t fBlock[Levels];
    std::size_t fCount = 0;
};
