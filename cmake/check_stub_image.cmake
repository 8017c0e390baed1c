# Fails the build unless the catstub image that Fendrik carries is exactly
# SIZE bytes: catstub finds the piece header at that offset of its first piece.
# Run as: cmake -DIMAGE=<catstub.exe> -DSIZE=<bytes> -P check_stub_image.cmake, or included by a
# script that has IMAGE and SIZE set.
if(NOT EXISTS "${IMAGE}")
    message(FATAL_ERROR "fendrik: the catstub image ${IMAGE} does not exist")
endif()
file(SIZE "${IMAGE}" image_size)
if(NOT image_size EQUAL SIZE)
    message(FATAL_ERROR "fendrik: the catstub image ${IMAGE} is ${image_size} bytes, not the ${SIZE} bytes "
                        "that catstub takes as the offset of the piece header")
endif()
