#!/usr/bin/python3
"""pyhdf_peer: the load written the way a user of pyhdf and numpy would.

Every data set of FILE that the add-on lists (not a coordinate variable,
rank 1 to 3) is read, its scales are read (or the index scale 1..n is made
where the file has none of the data set's extent), and per-point coordinate
and value arrays of the host's field data types are built from index arrays
that step by the skip and keep the last index. The data set is read whole
with one SDreaddata (pyhdf's get) and then indexed with numpy, or with
--strided only the values the zone keeps are read, by SDreaddata with a
stride (pyhdf's get(start, count, stride)), plus the last index of each
dimension where the stride misses it. With --checksums prints the CRC-32 of
every array, one line per zone and variable, as vyrhost --checksums does.
"""
import argparse
import itertools
import sys
import zlib

import numpy as np
from pyhdf.SD import SD, SDC

# HDF number type -> (numpy type in the file, host field data type's numpy
# type, host field data type's name), as the add-on's table maps them.
TYPES = {
    SDC.FLOAT32: (np.float32, np.float32, "float"),
    SDC.FLOAT64: (np.float64, np.float64, "double"),
    SDC.INT8: (np.int8, np.int16, "int16"),
    SDC.UINT8: (np.uint8, np.uint8, "byte"),
    SDC.INT16: (np.int16, np.int16, "int16"),
    SDC.UINT16: (np.uint16, np.int32, "int32"),
    SDC.INT32: (np.int32, np.int32, "int32"),
    SDC.UINT32: (np.uint32, np.float64, "double"),
}


def stepped(extent, skip):
    """Source indices from 0 in steps of skip, the last index always kept."""
    index = np.arange(0, extent, skip, dtype=np.intp)
    if index[-1] != extent - 1:
        index = np.append(index, extent - 1)
    return index


def axis_pieces(extent, skip):
    """The reads along one dimension whose indices, in turn, are stepped(extent,
    skip): (start, count, stride, first place in the result) of the strided
    run from 0, then of the last index where the stride misses it."""
    count = (extent - 1) // skip + 1
    pieces = [(0, count, skip, 0)]
    if (count - 1) * skip != extent - 1:
        pieces.append((extent - 1, 1, 1, count))
    return pieces


def read_stepped(sds, dims, skip, file_type):
    """The values at the stepped indices of every dimension (HDF order), read
    with one strided SDreaddata per combination of the dimensions' pieces:
    at most 2^rank reads, the first of them holding nearly every value."""
    per_axis = [axis_pieces(extent, skip) for extent in dims]
    values = np.empty([len(stepped(extent, skip)) for extent in dims], dtype=file_type)
    for combination in itertools.product(*per_axis):
        start = [piece[0] for piece in combination]
        count = [piece[1] for piece in combination]
        stride = [piece[2] for piece in combination]
        place = tuple(slice(piece[3], piece[3] + piece[1]) for piece in combination)
        values[place] = np.asarray(sds.get(start, count, stride)).reshape(count)
    return values


def read_scale(sds, d, extent):
    """Dimension d's scale as the add-on's catalogue takes it, with its host type."""
    dim = sds.dim(d)
    _, length, scale_type, _ = dim.info()
    if length == extent and extent > 0 and scale_type in TYPES:
        file_type, host_type, name = TYPES[scale_type]
        try:
            values = np.asarray(dim.getscale(), dtype=file_type)
            return values.astype(host_type, copy=False), name
        except Exception:  # pyhdf raises HDF4Error for a scale it cannot read
            pass
    return np.arange(1, extent + 1, dtype=np.int32), "int32"


def load(path, skip, strided):
    """The zones of a load: per zone a list of (type name, array), Dimension 1
    first. strided: read only the kept values, else read whole and index."""
    sd = SD(path, SDC.READ)
    zones = []
    for index in range(sd.info()[0]):
        sds = sd.select(index)
        _, rank, dims, hdf_type, _ = sds.info()
        if rank < 1 or rank > 3 or sds.iscoordvar():
            sds.endaccess()
            continue
        dims = [dims] if rank == 1 else list(dims)
        file_type, host_type, type_name = TYPES[hdf_type]
        data = read_stepped(sds, dims, skip, file_type) if strided else sds.get()
        # I follows the last HDF dimension, J the one before, K the first.
        extents = list(reversed(dims)) + [1] * (3 - rank)
        scales = [read_scale(sds, rank - 1 - axis, extents[axis]) for axis in range(rank)]
        sds.endaccess()
        steps = [stepped(extent, skip) for extent in extents]
        shape = (len(steps[2]), len(steps[1]), len(steps[0]))
        columns = []
        for axis, (scale, name) in enumerate(scales):
            picked = scale[steps[axis]]
            column = np.empty(shape, dtype=scale.dtype)
            column[...] = picked.reshape([-1 if a == axis else 1 for a in (2, 1, 0)])
            columns.append((name, column))
        if strided:
            kept = data.reshape(shape)
        else:
            cube = data.reshape(extents[2], extents[1], extents[0])
            kept = cube[np.ix_(steps[2], steps[1], steps[0])]
        values = kept.astype(host_type, copy=False)
        columns.append((type_name, values))
        zones.append(columns)
    sd.end()
    return zones


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("file")
    parser.add_argument("--skip", type=int, default=1)
    parser.add_argument("--strided", action="store_true",
                        help="read only the kept values, by SDreaddata with a stride")
    parser.add_argument("--checksums", action="store_true")
    args = parser.parse_args()
    zones = load(args.file, args.skip, args.strided)
    if args.checksums:
        out = []
        for z, columns in enumerate(zones, 1):
            for v, (name, array) in enumerate(columns, 1):
                crc = zlib.crc32(np.ascontiguousarray(array).data)
                out.append(f"zone {z} var {v} {name} {array.size} {crc:08x}")
        print("\n".join(out))
        return 0
    points = sum(zone[-1][1].size for zone in zones)
    print(f"zones {len(zones)} points {points}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
