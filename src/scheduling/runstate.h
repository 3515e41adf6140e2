#pragma once
#include <QVector>

// The figures of the generation in progress. One set exists for the whole
// program: the generator, reconciliation, ball duty and league pairing share it.
struct RunState {
    int entryCount = 0;          // P
    int playersPerSession = 0;   // N
    int byeCount = 0;            // P - N
    double priorityThreshold = 5000;
    bool stopRequest = false;

    // League pairing
    bool byeFlag = false;        // exactly one entry sits out each date
    QVector<int> byeOrder;       // GROUPPLAYERIDs, indexed from 0
    int byeCursor = 0;
    int roundsWanted = 0;
    int roundsBuilt = 0;
    int matchCount = 0;
    int usedSinceBuild = 0;
};

RunState& runState();
