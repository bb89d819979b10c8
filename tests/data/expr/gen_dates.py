#!/usr/bin/env python3
"""Expected values of the date and time functions, from Python's datetime and round.

dates.tsv: serial <TAB> year <TAB> month <TAB> day <TAB> weekday (1 = Sunday … 7 = Saturday),
  where serial counts days since 1899-12-30 (datetime.date arithmetic).
times.tsv: k <TAB> hour <TAB> minute <TAB> second <TAB> millisecond for the time of day
  k / 2**32 (an exact binary fraction of a day), the milliseconds rounded half to even with
  Python's round on the exact product (Fraction).
Run from this folder: python3 gen_dates.py
"""
import datetime
import random
from fractions import Fraction

EPOCH = datetime.date(1899, 12, 30)


def main():
    rng = random.Random(1899)
    serials = [0, 1, -1, 2, 59, 60, 61, 36526, 36585, 36586, 2958465, -693593, -657434, 43830, 45000, 45292]
    lowest = (datetime.date(1, 1, 1) - EPOCH).days
    highest = (datetime.date(9999, 12, 31) - EPOCH).days
    serials += [rng.randint(lowest, highest) for _ in range(400)]
    with open("dates.tsv", "w", newline="\n") as out:
        for serial in serials:
            day = EPOCH + datetime.timedelta(days=serial)
            weekday = day.isoweekday() % 7 + 1  # isoweekday: Monday 1 … Sunday 7
            out.write(f"{serial}\t{day.year}\t{day.month}\t{day.day}\t{weekday}\n")

    ks = [0, 1, 1 << 31, (1 << 32) - 1, (1 << 30), 3 << 30]
    ks += [(1 << 21) * m for m in (1, 3, 5, 7, 9, 1023, 2047)]  # exact half milliseconds
    ks += [rng.randint(0, (1 << 32) - 1) for _ in range(300)]
    with open("times.tsv", "w", newline="\n") as out:
        for k in ks:
            ms = round(Fraction(k * 86400000, 1 << 32))
            out.write(f"{k}\t{ms // 3600000}\t{ms // 60000 % 60}\t{ms // 1000 % 60}\t{ms % 1000}\n")


if __name__ == "__main__":
    main()
