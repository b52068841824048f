#pragma once
// A results table as a year of use produces it, for the benchmarks: record versions of
// results for 600 athletes, six in ten inserts, three modifications, one deletion, in a
// random (but fixed) order; and the athlete table they belong to.
#include "data/table_image.h"

data::TableImage MakeResultsHistory(int versions);
data::TableImage MakeAthletes(int count);
