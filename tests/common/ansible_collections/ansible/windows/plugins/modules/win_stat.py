#!/usr/bin/python3
# Stands in for ansible.windows.win_stat on a Wine prefix (WINEPREFIX): whether the Windows path
# PATH is there, as stat.exists, and nothing else of the real module's answer. Like the real
# module it runs in check mode, and reports no change.
import os

from ansible.module_utils.basic import AnsibleModule


def unix_path(path):
    """A C: path as it lies in the prefix."""
    if path[:3].upper() != "C:\\":
        return None
    return os.path.join(os.environ["WINEPREFIX"], "drive_c", *path[3:].split("\\"))


def main():
    module = AnsibleModule(argument_spec={"path": {"type": "str", "required": True}},
                           supports_check_mode=True)
    path = unix_path(module.params["path"])
    module.exit_json(changed=False, stat={"exists": bool(path) and os.path.exists(path)})


if __name__ == "__main__":
    main()
