// Several threads write labels of different digits to one path at once,
// round after round, while a reader keeps reading the path.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/bmp_expect.h"

namespace qelvtest {

using LabelWrite = std::function<int(const char* digits, const char* path)>;

// What a race may not do: leave a mix, a cut file or anything but a whole
// label of a writer; or lose the label when every writer succeeded; or end
// a round with no writer's label stored. A writer may get 0 when the others
// hold the path past its wait (more often the busier the machine); it then
// reports the path busy.
struct RaceTally {
    int rounds = 0;
    int calls = 0;
    int failed_calls = 0;   // a writer got 0
    int unexplained = 0;    // a writer got 0 for another reason than a busy path, or a refusal did not
    unsigned long unexplained_reason = 0;  // the last such writer's reason
    int wrong_after = 0;    // after a round: no whole label, though every good writer succeeded, or a wrong file
    int wrong_reads = 0;    // the reader met a file that was no whole label
    int reads = 0;          // files the reader met
    int rounds_unstored = 0;  // rounds in which no writer stored its label
};

// The race's verdict, by what it produced and never by how long it took,
// so that it holds at any load of the machine.
void expect_sound_race(const RaceTally& tally);

// One thread per entry of digits writes it to path each round; labels[i]
// is the file digits[i] must give, or empty for digits the export refuses
// (that call must give 0 with a reason, and may leave no label).
RaceTally path_race(const LabelWrite& write, const std::vector<std::string>& digits,
                    const std::vector<Bytes>& labels, const std::string& path, int rounds);

}  // namespace qelvtest
