#!/bin/bash
# usage: scripts/guest/inside/own-disk.sh DEVICE FOLDER
# In the guest: mounts DEVICE, the disk that scripts/guest/run.sh keeps beside the guest, on
# FOLDER of the shared checkout, so that what runs there does not go through the share and
# what it leaves there is there on the next boot. A disk never used gets a file system; so
# does one that its check cannot mend (a run cut short mid-write): it holds only what can be
# made again.
set -euo pipefail
device=$1 folder=$2
status=0
e2fsck -p "$device" >/dev/null 2>&1 || status=$?
[ "$status" -lt 4 ] || mkfs.ext4 -q -F "$device"
mkdir -p /run/own "$folder"
# What the guest frees, the host gets back.
mount -o discard "$device" /run/own
mount --bind /run/own "$folder"
