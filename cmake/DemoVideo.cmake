# Demo videos made at build time by scripts/make-demo-video.sh (ffmpeg), never committed.
find_program(FFMPEG_EXECUTABLE ffmpeg)
if(NOT FFMPEG_EXECUTABLE)
    message(FATAL_ERROR "ffmpeg is missing: run scripts/install-deps.sh")
endif()

# demo_video(<out.mp4> [SECONDS n] [LABEL text]): a rule that writes <out.mp4> and <out.png> (1280x720, H.264).
# Appends both files to the list variable DEMO_VIDEO_FILES in the caller's scope; depend on them with a target.
function(demo_video out)
    cmake_parse_arguments(ARG "" "SECONDS;LABEL" "" ${ARGN})
    if(NOT ARG_SECONDS)
        set(ARG_SECONDS 4)
    endif()
    get_filename_component(base ${out} NAME_WE)
    if(NOT ARG_LABEL)
        set(ARG_LABEL ${base})
    endif()
    get_filename_component(dir ${out} DIRECTORY)
    set(still ${dir}/${base}.png)
    add_custom_command(OUTPUT ${out} ${still}
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-demo-video.sh ${out} ${ARG_SECONDS} ${ARG_LABEL}
        DEPENDS ${CMAKE_SOURCE_DIR}/scripts/make-demo-video.sh
        COMMENT "Making demo video ${out}"
        VERBATIM)
    set(DEMO_VIDEO_FILES ${DEMO_VIDEO_FILES} ${out} ${still} PARENT_SCOPE)
endfunction()
