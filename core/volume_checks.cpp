// The free space and the largest file of the volume written to.
#include "core/volume_checks.h"

#include "platform/file.h"

bool VolumeTakes(uint64_t totalBytes, uint64_t largestFile, Messenger& messenger) {
    VolumeRoom room;
    const std::string folder = CurrentDirectory();
    if (!GetVolumeRoom(folder, &room))
        return true;
    if (largestFile > room.largestFile) {
        messenger.Tell(told::TooLargeForVolume{folder, largestFile, room.largestFile});
        return false;
    }
    if (totalBytes > room.freeBytes) {
        messenger.Tell(told::NotEnoughSpace{folder, totalBytes, room.freeBytes});
        return false;
    }
    return true;
}
