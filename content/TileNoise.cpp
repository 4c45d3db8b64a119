#include "TileNoise.h"

#include "SeededRandom.h"

#include <cmath>

TTileNoise::TTileNoise(uint64_t Seed, int CellsX, int CellsY, int Octaves)
{
    TSeededRandom random(Seed);
    for (int i = 0; i < Octaves; ++i) {
        TOctave octave{CellsX << i, CellsY << i, {}};
        octave.Values.resize(size_t(octave.CellsX) * size_t(octave.CellsY));
        for (double& value : octave.Values)
            value = random.Unit();
        m_octaves.push_back(std::move(octave));
    }
}

double TTileNoise::Sample(const TOctave& Octave, double U, double V)
{
    const double x = (U - std::floor(U)) * Octave.CellsX;
    const double y = (V - std::floor(V)) * Octave.CellsY;
    const int x0 = int(x) % Octave.CellsX;
    const int y0 = int(y) % Octave.CellsY;
    const int x1 = (x0 + 1) % Octave.CellsX;
    const int y1 = (y0 + 1) % Octave.CellsY;
    auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    const double fx = smooth(x - std::floor(x));
    const double fy = smooth(y - std::floor(y));
    auto at = [&](int cx, int cy) { return Octave.Values[size_t(cy) * Octave.CellsX + cx]; };
    const double top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * fx;
    const double bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * fx;
    return top + (bottom - top) * fy;
}

double TTileNoise::At(double U, double V) const
{
    double sum = 0;
    double weight = 1;
    double total = 0;
    for (const TOctave& octave : m_octaves) {
        sum += Sample(octave, U, V) * weight;
        total += weight;
        weight *= 0.5;
    }
    return total > 0 ? sum / total : 0;
}
