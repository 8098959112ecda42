#!/usr/bin/python3
"""Writes a big folder of songs for the tests and benchmarks of long drops: COUNT empty
.mp3 files, a hundred to an album folder, as a music collection is laid out.

    big_folder.py FOLDER COUNT
"""
import os
import sys


def make_songs(root, count):
    for i in range(count):
        album = os.path.join(root, "Artist %03d - Album %03d" % (i // 1000, i // 100))
        if i % 100 == 0:
            os.makedirs(album)
        open(os.path.join(album, "%02d Song %06d.mp3" % (i % 100, i)), "wb").close()


if __name__ == "__main__":
    make_songs(sys.argv[1], int(sys.argv[2]))
