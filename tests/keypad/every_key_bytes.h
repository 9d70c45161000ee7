// The 25 panel keys in id order with the bytes one click on each sends from a fresh panel: FAST
// then latches and sends "B"; SLOW then latches, releases FAST and sends "C".
#pragma once
#include <cstdint>

struct KeyBytes {
    int32_t id;
    const char* bytes;
};
constexpr KeyBytes kEveryKey[] = {{2000, "o"}, {2001, "O"}, {2002, "L"}, {2003, "H"}, {2004, "K"}, {2005, "J"},
                                  {2006, "A"}, {2007, "S"}, {2008, "B"}, {2009, "C"}, {2010, "0"}, {2011, "1"},
                                  {2012, "2"}, {2013, "3"}, {2014, "4"}, {2015, "5"}, {2016, "6"}, {2017, "7"},
                                  {2018, "8"}, {2019, "9"}, {2020, "-"}, {2021, "."}, {2022, ":"}, {2023, "\n"},
                                  {2024, "P"}};
