# cmake -DSOURCE=<catalogue dir> -DOUT=<dir> -DPASSWORD=<text> -P LockCatalogue.cmake
# Copies the catalogue sources and adds a PASSWORD entry to its settings.
file(GLOB files ${SOURCE}/*.txt ${SOURCE}/*.bmp)
file(MAKE_DIRECTORY ${OUT})
foreach(f ${files})
  file(COPY ${f} DESTINATION ${OUT})
endforeach()
file(APPEND ${OUT}/settings.txt "PASSWORD\t${PASSWORD}\n")
