# Fails the build unless the catstub image that Fendrik carries is exactly
# SIZE bytes: catstub finds the piece header at that offset of its first piece.
# Run as: cmake -DIMAGE=<catstub.exe> -DSIZE=<bytes> -P check_stub_image.cmake
if(NOT EXISTS "${IMAGE}")
    message(FATAL_ERROR "Fendrik: the catstub image ${IMAGE} does not exist")
endif()
file(SIZE "${IMAGE}" image_size)
if(NOT image_size EQUAL SIZE)
    message(FATAL_ERROR "Fendrik: the catstub image ${IMAGE} is ${image_size} bytes, not the ${SIZE} bytes "
                        "that catstub takes as the offset of the piece header")
endif()
