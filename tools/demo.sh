#!/usr/bin/env bash
# The main job: install what is missing, build, write a sample HDF4 file and
# load it through the add-on in the stand-in host, printing the data set and
# drawing its picture, the one the README shows.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh
build/bin/make_sample_hdf build/sample.hdf
build/bin/vyrhost load build/sample.hdf --sds 1,2 --skip 1,1,1 --picture build/sample-load.png
echo "demo.sh: the picture of that load (as in the README): $PWD/build/sample-load.png"
