# Pads a program image with zero bytes to its fixed size and fails the build
# when the linked image is larger:
#   cmake -DIMAGE=path -DSIZE=bytes -DSIZE_NAME=constant -P pad_image.cmake
file(SIZE "${IMAGE}" actual)
if(actual GREATER SIZE)
  file(REMOVE "${IMAGE}")
  message(FATAL_ERROR "${IMAGE}: the image is ${actual} bytes, more than its fixed size of ${SIZE} bytes "
                      "(${SIZE_NAME} in common/constants.h)")
endif()
execute_process(COMMAND truncate -s ${SIZE} "${IMAGE}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${IMAGE}: cannot pad the image to ${SIZE} bytes")
endif()
message(STATUS "${IMAGE}: ${actual} bytes of image, padded to ${SIZE}")
