# The LZMA SDK sources from Debian's lzma-dev package, compiled for the target at hand:
# the encoder for the SFU program builder, the decoder for the loader stub.
set(LZMA_SDK_DIR /usr/include/lzma CACHE PATH "LZMA SDK C sources (Debian package lzma-dev)")
if(NOT EXISTS "${LZMA_SDK_DIR}/LzmaEnc.c")
  message(FATAL_ERROR "LZMA SDK sources not found in ${LZMA_SDK_DIR}: install lzma-dev")
endif()

add_library(lzma_sdk_enc STATIC "${LZMA_SDK_DIR}/LzmaEnc.c" "${LZMA_SDK_DIR}/LzFind.c")
target_include_directories(lzma_sdk_enc SYSTEM PUBLIC "${LZMA_SDK_DIR}")
target_compile_definitions(lzma_sdk_enc PUBLIC _7ZIP_ST)
target_compile_options(lzma_sdk_enc PRIVATE -w)

add_library(lzma_sdk_dec STATIC "${LZMA_SDK_DIR}/LzmaDec.c")
target_include_directories(lzma_sdk_dec SYSTEM PUBLIC "${LZMA_SDK_DIR}")
target_compile_options(lzma_sdk_dec PRIVATE -w -Os)
