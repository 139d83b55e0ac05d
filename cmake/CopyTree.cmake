# cmake -DFROM=<folder> -DTO=<folder> -P CopyTree.cmake: copies the folder's content into TO; file(COPY) skips the
# files whose copy already carries the same time stamp, so a run after one change copies that file only.
file(COPY ${FROM}/ DESTINATION ${TO})
