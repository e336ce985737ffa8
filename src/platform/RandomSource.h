// RandomSource: the program's chance (the first tip of the day), injectable so tests can fix it.
#pragma once

#include <QRandomGenerator>

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A number from 0 up to, not including, bound (bound > 0).
    virtual int bounded(int bound) = 0;
};

class SystemRandom : public RandomSource {
public:
    int bounded(int bound) override {
        return static_cast<int>(QRandomGenerator::global()->bounded(bound));
    }
};
