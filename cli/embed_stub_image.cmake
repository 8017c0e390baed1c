# Turns the built catstub.exe into a C++ source that holds its bytes, and fails
# unless it is exactly SIZE bytes: catstub finds the piece header at that offset.
# Run as: cmake -DIMAGE=<catstub.exe> -DSIZE=<bytes> -DOUTPUT=<file.cpp> -P embed_stub_image.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/check_stub_image.cmake)
file(READ "${IMAGE}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n"
       bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp" "// Generated from ${IMAGE}: the catstub program, byte for byte.\n"
    "#include \"cli/command_support.h\"\n\n"
    "namespace {\nconst uint8_t kImage[${SIZE}] = {\n${bytes}};\n}\n\n"
    "StubImage CarriedStubImage() { return {kImage, sizeof kImage}; }\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
