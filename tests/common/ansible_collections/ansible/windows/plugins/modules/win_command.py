#!/usr/bin/python3
# Stands in for ansible.windows.win_command on a Wine prefix (WINEPREFIX): runs the command line
# under Wine as it is given, through the launcher that VORNAKDSN_LAUNCHER names (a shell cannot
# hand Wine a command line exactly), and answers with rc, stdout and stderr, changed as the
# real module is. Like the real module it does not run in check mode: there Ansible skips it,
# unless its task says check_mode: false.
import os
import subprocess

from ansible.module_utils.basic import AnsibleModule


def main():
    module = AnsibleModule(argument_spec={"_raw_params": {"type": "str", "required": True}},
                           supports_check_mode=False)
    command = module.params["_raw_params"]
    run = subprocess.run(["wine", os.environ["VORNAKDSN_LAUNCHER"], "600",
                          command.encode("utf-8").hex()],
                         capture_output=True, check=False)
    module.exit_json(changed=True, cmd=command, rc=run.returncode,
                     stdout=run.stdout.decode("utf-8", "replace").replace("\r\n", "\n"),
                     stderr=run.stderr.decode("utf-8", "replace").replace("\r\n", "\n"))


if __name__ == "__main__":
    main()
