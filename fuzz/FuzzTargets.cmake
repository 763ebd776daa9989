# The fuzz targets: name, source file in fuzz/, libraries under test.
# Read by fuzz/CMakeLists.txt (libFuzzer binaries) and tests/fuzz (corpus replay).
set(TINTWELL_FUZZ_TARGETS bitmap png)
set(TINTWELL_FUZZ_bitmap_SOURCE BitmapFuzzer.cpp)
set(TINTWELL_FUZZ_bitmap_LIBS tintwell_core tintwell_bitmap)
set(TINTWELL_FUZZ_png_SOURCE PngFuzzer.cpp)
set(TINTWELL_FUZZ_png_LIBS tintwell_core tintwell_png tintwell_bitmap)
