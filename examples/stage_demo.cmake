# Stages the demo game for packing: a fresh copy of examples/demo without its art sources,
# plus the pictures that art/make_art.sh draws into it.
#   cmake -DSOURCE=examples/demo -DSTAGE=build/demo-src -P stage_demo.cmake
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(COPY ${SOURCE}/ DESTINATION ${STAGE} PATTERN "art" EXCLUDE)
execute_process(COMMAND sh ${SOURCE}/art/make_art.sh ${STAGE} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "drawing the demo's pictures failed (is ImageMagick installed? scripts/install-deps.sh)")
endif()
