#pragma once

// Smooth value noise that repeats with the unit square, so pictures made from
// it tile without seams. Sum of octaves, each with twice the lattice cells.

#include <cstdint>
#include <vector>

class TTileNoise
{
public:
    // CellsX x CellsY lattice cells in the first octave.
    TTileNoise(uint64_t Seed, int CellsX, int CellsY, int Octaves);

    // Noise in [0, 1] at (U, V); period 1 in both directions.
    double At(double U, double V) const;

private:
    struct TOctave
    {
        int CellsX;
        int CellsY;
        std::vector<double> Values;
    };
    static double Sample(const TOctave& Octave, double U, double V);

    std::vector<TOctave> m_octaves;
};
