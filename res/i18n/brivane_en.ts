<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>关于 Brivane</source>
        <translation>About Brivane</translation>
    </message>
    <message>
        <source>Brivane 1.5 版</source>
        <translation>Brivane version 1.5</translation>
    </message>
    <message>
        <source>LED 条屏与点阵屏的节目编辑、发送和控制卡设置工具。</source>
        <translation>Edits and sends programs for LED strip and matrix signs, and sets up their controller cards.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>节目文件：</source>
        <translation>Project file: </translation>
    </message>
</context>
<context>
    <name>BrightnessDialog</name>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>亮度设置</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>亮度值：</source>
        <translation>Brightness:</translation>
    </message>
    <message>
        <source>最暗</source>
        <translation>Darkest</translation>
    </message>
    <message>
        <source>最亮</source>
        <translation>Brightest</translation>
    </message>
    <message>
        <source>控制卡没有回答，无法读取当前亮度。</source>
        <translation>The card did not answer; the brightness cannot be read.</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>Unknown</translation>
    </message>
</context>
<context>
    <name>CardSession</name>
    <message>
        <source>无法建立连接，请先查找屏。</source>
        <translation>No connection; find the sign first.</translation>
    </message>
    <message>
        <source>打开串口时发生错误，</source>
        <translation>Error while opening the port: </translation>
    </message>
    <message>
        <source>

您可通过‘查屏’功能查找串口号。注意，如果您使用的是USB-&gt;RS232的转换器，
请确定转换器已经插入电脑的USB口，并且已经正确的安装了驱动程序。</source>
        <translation>

You can find the port number with &apos;Find Sign&apos;. If you use a USB-to-RS232 converter,
make sure it is plugged into a USB port of the computer and its driver is installed.</translation>
    </message>
    <message>
        <source>

请先关闭其他占用该串口的程序。</source>
        <translation>

Close the other program that uses this port first.</translation>
    </message>
    <message>
        <source>正在查找...</source>
        <translation>Searching...</translation>
    </message>
    <message>
        <source>在COM%1找到控制卡：%2。</source>
        <translation>Found the card on COM%1: %2.</translation>
    </message>
    <message>
        <source>没有找到控制卡，请检查硬件连接后单击‘查屏’按钮。</source>
        <translation>No card found. Check the connections, then click &apos;Find Sign&apos;.</translation>
    </message>
    <message>
        <source>
无法打开 %1：</source>
        <translation>
Cannot open %1: </translation>
    </message>
</context>
<context>
    <name>CardSessionSend</name>
    <message numerus="yes">
        <source>已成功发送了 %n 条信息。</source>
        <translation>
            <numerusform>%n program sent.</numerusform>
            <numerusform>%n programs sent.</numerusform>
        </translation>
    </message>
    <message>
        <source>信息没有可发送的页面。</source>
        <translation>The program has no pages to send.</translation>
    </message>
    <message>
        <source>无法发送信息。</source>
        <translation>Cannot send the programs. </translation>
    </message>
    <message>
        <source>正在清空原有信息。</source>
        <translation>Clearing the old programs.</translation>
    </message>
    <message>
        <source>清除显示屏原有信息时出错：%1，是否重新发送命令？</source>
        <translation>Error while clearing the screen: %1. Send the command again?</translation>
    </message>
    <message>
        <source>操作已取消。</source>
        <translation>Cancelled.</translation>
    </message>
    <message>
        <source>正在发送信息‘%1’...</source>
        <translation>Sending program &apos;%1&apos;...</translation>
    </message>
    <message>
        <source>发送信息‘%1’时发生错误：%2，是否重新发生？</source>
        <translation>Error while sending program &apos;%1&apos;: %2. Send it again?</translation>
    </message>
    <message numerus="yes">
        <source>发送已停止，另有 %n 条信息未发送。</source>
        <translation>
            <numerusform>The send stopped; %n more program was not sent.</numerusform>
            <numerusform>The send stopped; %n more programs were not sent.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>另有 %n 条信息发送失败，已跳过。</source>
        <translation>
            <numerusform>%n more program failed and was skipped.</numerusform>
            <numerusform>%n more programs failed and were skipped.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CommandResult</name>
    <message>
        <source>成功</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>ControllerInfo</name>
    <message>
        <source>， 固件版本：%1.%2.%3</source>
        <translation>, firmware %1.%2.%3</translation>
    </message>
</context>
<context>
    <name>ControllerLink</name>
    <message>
        <source>无法建立通讯，请先查找屏。</source>
        <translation>No communication; find the sign first.</translation>
    </message>
    <message>
        <source>发送的数据包太长！</source>
        <translation>The packet to send is too long!</translation>
    </message>
    <message>
        <source>超时时间为0时无法接收终端返回。</source>
        <translation>With a zero time-out no reply can be received.</translation>
    </message>
    <message>
        <source>信息已发出，广播信息无法接收终端回应。</source>
        <translation>Sent; a broadcast gets no answer from the card.</translation>
    </message>
    <message>
        <source>终端返回包太长！</source>
        <translation>The card&apos;s reply is too long!</translation>
    </message>
    <message>
        <source>终端返回包太短！</source>
        <translation>The card&apos;s reply is too short!</translation>
    </message>
    <message>
        <source>终端返回包标记错误。</source>
        <translation>The card&apos;s reply has a wrong mark.</translation>
    </message>
    <message>
        <source>终端返回的结果校验码错误。</source>
        <translation>The card&apos;s reply has a wrong checksum.</translation>
    </message>
    <message>
        <source>通讯超时。</source>
        <translation>Communication timed out.</translation>
    </message>
    <message>
        <source>终端返回包长度错误。</source>
        <translation>The card&apos;s reply has a wrong length.</translation>
    </message>
</context>
<context>
    <name>HaDiscovery</name>
    <message>
        <source>LED 显示屏控制卡</source>
        <translation>LED display controller</translation>
    </message>
    <message>
        <source>消息</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>第一个节目</source>
        <translation>First program</translation>
    </message>
    <message>
        <source>亮度</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>电源</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>发送节目</source>
        <translation>Send programs</translation>
    </message>
    <message>
        <source>校准时钟</source>
        <translation>Set the clock</translation>
    </message>
    <message>
        <source>清屏</source>
        <translation>Clear screen</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>上次结果</source>
        <translation>Last result</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
</context>
<context>
    <name>HardwareSettingsDialog</name>
    <message>
        <source>反数据</source>
        <translation>Reverse data</translation>
    </message>
    <message>
        <source>反OE</source>
        <translation>Reverse OE</translation>
    </message>
    <message>
        <source>无138译码</source>
        <translation>No 138 decoder</translation>
    </message>
    <message>
        <source>提示：不明白含义的属性不要乱改，否则会烧屏！</source>
        <translation>Note: do not change settings you do not understand; the screen may burn out!</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>恢复出厂设置</source>
        <translation>Factory settings</translation>
    </message>
    <message>
        <source>硬件设置</source>
        <translation>Hardware settings</translation>
    </message>
    <message>
        <source>单红</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>红绿双色</source>
        <translation>Red and green</translation>
    </message>
    <message>
        <source>屏    高：</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>屏    宽：</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>行 顺 序：</source>
        <translation>Row order:</translation>
    </message>
    <message>
        <source>颜色类型：</source>
        <translation>Colours:</translation>
    </message>
    <message>
        <source>扫描频率：</source>
        <translation>Scan frequency:</translation>
    </message>
    <message>
        <source>扫描方式：</source>
        <translation>Scan mode:</translation>
    </message>
</context>
<context>
    <name>ItemEditorDialog</name>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>信息编辑器</source>
        <translation>Program editor</translation>
    </message>
    <message>
        <source>走字级别：</source>
        <translation>Speed level:</translation>
    </message>
    <message>
        <source>停留时间：</source>
        <translation>Stay time:</translation>
    </message>
    <message>
        <source>停留闪烁：</source>
        <translation>Flash:</translation>
    </message>
    <message>
        <source>闪烁间隔：</source>
        <translation>Flash interval:</translation>
    </message>
    <message>
        <source>通常不用修改，如果信息走得太快可以加大级别，如果太慢可以减小级别。提示，只有特定型号的控制卡才支持本选项。</source>
        <translation>Usually left as it is: raise the level if the program moves too fast, lower it if too slow. Note: only some card models support this.</translation>
    </message>
    <message>
        <source>信息走完一幕后是否要停留几秒时间再走下一幕。</source>
        <translation>Whether the program stays for some seconds after each scene before the next one.</translation>
    </message>
    <message>
        <source>信息停留期间，是否附带闪烁效果。提示，只有‘停留时间’大于‘闪烁间隔’才能看到效果。</source>
        <translation>Whether the program flashes while it stays. Note: the effect shows only when &apos;Stay time&apos; is longer than &apos;Flash interval&apos;.</translation>
    </message>
    <message>
        <source>停留期间，每隔多少秒闪烁一遍。</source>
        <translation>While staying, flash once every so many seconds.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>节目文件已被其他程序修改过，是否用当前的节目覆盖它？</source>
        <translation>Another program changed the project file. Overwrite it with these programs?</translation>
    </message>
    <message>
        <source>是否启用时钟分区，如果启用，本条信息播放时将在屏左侧显示表盘时钟。提示，只有特定型号的控制卡才支持该功能。</source>
        <translation>Whether to use a clock zone: while this program plays, a dial clock shows on the left of the screen. Note: only some card models support this.</translation>
    </message>
    <message>
        <source>信息播放时是否附带环绕边框效果。提示，有些型号的控制卡只支持4种边框效果。</source>
        <translation>Whether a running border goes round the program while it plays. Note: some card models support only 4 borders.</translation>
    </message>
    <message>
        <source>在信息上双击可编辑内容，右键更多选项。</source>
        <translation>Double-click a program to edit it; right-click for more.</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>工具(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>工具栏</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>日程文件有错误：%1</source>
        <translation>The schedule file has errors: %1</translation>
    </message>
    <message>
        <source>日程：现在播放 %1</source>
        <translation>Schedule: now playing %1</translation>
    </message>
    <message>
        <source>提示：当前所连接的控制卡不支持动态时钟分区！</source>
        <translation>Note: the connected card does not support clock zones!</translation>
    </message>
    <message>
        <source>确定吗？</source>
        <translation>Are you sure?</translation>
    </message>
    <message>
        <source>关闭前是否保存对节目的修改？</source>
        <translation>Save the changes to the programs before closing?</translation>
    </message>
    <message>
        <source>保存节目</source>
        <translation>&amp;Save programs</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存所有节目</source>
        <translation>Save all programs</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>关闭程序</source>
        <translation>Close the program</translation>
    </message>
    <message>
        <source>新建文本...</source>
        <translation>New &amp;text...</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>新建文本节目</source>
        <translation>New text program</translation>
    </message>
    <message>
        <source>新建图片...</source>
        <translation>New &amp;picture...</translation>
    </message>
    <message>
        <source>图片</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>新建图片节目</source>
        <translation>New picture program</translation>
    </message>
    <message>
        <source>编辑内容...</source>
        <translation>&amp;Edit content...</translation>
    </message>
    <message>
        <source>编辑当前节目内容</source>
        <translation>Edit the current program</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Move &amp;up</translation>
    </message>
    <message>
        <source>将当前节目向上移动</source>
        <translation>Move the current program up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Move &amp;down</translation>
    </message>
    <message>
        <source>将当前节目向下移动</source>
        <translation>Move the current program down</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>删除当前节目</source>
        <translation>Delete the current program</translation>
    </message>
    <message>
        <source>发送...</source>
        <translation>Se&amp;nd...</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>发送节目到控制卡</source>
        <translation>Send the programs to the card</translation>
    </message>
    <message>
        <source>查找屏...</source>
        <translation>&amp;Find sign...</translation>
    </message>
    <message>
        <source>查屏</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>查找屏</source>
        <translation>Find sign</translation>
    </message>
    <message>
        <source>屏幕较时</source>
        <translation>Set the clock</translation>
    </message>
    <message>
        <source>校时</source>
        <translation>Clock</translation>
    </message>
    <message>
        <source>亮度设置...</source>
        <translation>&amp;Brightness...</translation>
    </message>
    <message>
        <source>亮度</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>亮度设置</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>屏参设置...</source>
        <translation>Screen &amp;parameters...</translation>
    </message>
    <message>
        <source>屏参</source>
        <translation>Setup</translation>
    </message>
    <message>
        <source>屏参设置-设置屏幕大小、扫描方式等。</source>
        <translation>Screen parameters: size, scan mode and more.</translation>
    </message>
    <message>
        <source>屏幕开关...</source>
        <translation>Screen &amp;on/off...</translation>
    </message>
    <message>
        <source>开关</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>开屏或关屏。</source>
        <translation>Switch the screen on or off.</translation>
    </message>
    <message>
        <source>清屏</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>清空显示屏中所有信息。</source>
        <translation>Clear every program from the screen.</translation>
    </message>
    <message>
        <source>关于...</source>
        <translation>&amp;About...</translation>
    </message>
    <message>
        <source>显示“关于”对话框。</source>
        <translation>Show the About box.</translation>
    </message>
    <message>
        <source>第 %1 条信息：%2</source>
        <translation>Program %1: %2</translation>
    </message>
    <message>
        <source>

是否仍要发送？</source>
        <translation>

Send anyway?</translation>
    </message>
</context>
<context>
    <name>MessageBoxUserInterface</name>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>是(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>否(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>MqttFace</name>
    <message>
        <source>服务没有回答（%1）</source>
        <translation>The service gave no answer (%1)</translation>
    </message>
    <message>
        <source>等待执行的命令太多（最多 %1 条）：此命令未执行，请稍后再试。</source>
        <translation>Too many commands are waiting (at most %1): this command was not run; please try again later.</translation>
    </message>
    <message>
        <source>消息太长：%1 字节，最多 %2 字节。</source>
        <translation>The message is too long: %1 bytes, at most %2 bytes.</translation>
    </message>
    <message>
        <source>消息不是有效的 UTF-8 文字。</source>
        <translation>The message is not valid UTF-8 text.</translation>
    </message>
    <message>
        <source>&quot;id&quot; 必须是字符串或数字。</source>
        <translation>&quot;id&quot; must be a string or a number.</translation>
    </message>
    <message>
        <source>消息需要要显示的文字。</source>
        <translation>The message needs the text to show.</translation>
    </message>
    <message>
        <source>需要节目的 JSON 数组，或 {&quot;programs&quot;: [...]}。</source>
        <translation>A JSON array of programs is needed, or {&quot;programs&quot;: [...]}.</translation>
    </message>
    <message>
        <source>没有节目 %1。</source>
        <translation>There is no program %1.</translation>
    </message>
    <message>
        <source>此命令不接受任何内容（可以为空、PRESS 或带 id 的 JSON 对象）。</source>
        <translation>This command takes no content (empty, PRESS, or a JSON object with an id).</translation>
    </message>
    <message>
        <source>电源命令需要 ON 或 OFF。</source>
        <translation>The power command needs ON or OFF.</translation>
    </message>
    <message>
        <source>没有这个命令：%1</source>
        <translation>No such command: %1</translation>
    </message>
    <message>
        <source>发送未完成：%1</source>
        <translation>The send did not complete: %1</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>Success</translation>
    </message>
</context>
<context>
    <name>Outcome</name>
    <message>
        <source>本软件不支持当前所连接的卡！</source>
        <translation>This program does not support the connected card!</translation>
    </message>
    <message>
        <source>命令执行成功！</source>
        <translation>Command succeeded!</translation>
    </message>
    <message>
        <source>命令执行失败：</source>
        <translation>Command failed: </translation>
    </message>
</context>
<context>
    <name>Packet</name>
    <message>
        <source>数据包校验错误。</source>
        <translation>Packet checksum error.</translation>
    </message>
    <message>
        <source>命令无法识别。</source>
        <translation>Unknown command.</translation>
    </message>
    <message>
        <source>不支持的命令。</source>
        <translation>Unsupported command.</translation>
    </message>
    <message>
        <source>参数错误，请勿超出最大范围。</source>
        <translation>Invalid parameter; do not exceed the maximum range.</translation>
    </message>
    <message>
        <source>数据包结构错误。</source>
        <translation>Malformed packet.</translation>
    </message>
    <message>
        <source>命令执行失败。</source>
        <translation>The command failed.</translation>
    </message>
    <message>
        <source>终端返回未知错误。</source>
        <translation>The card reported an unknown error.</translation>
    </message>
</context>
<context>
    <name>PageBitmapLoad</name>
    <message>
        <source>找不到图片文件“%1”。</source>
        <translation>The picture file &quot;%1&quot; was not found.</translation>
    </message>
    <message>
        <source>无法识别图片文件“%1”的格式。</source>
        <translation>The format of the picture file &quot;%1&quot; is not recognised.</translation>
    </message>
    <message>
        <source>不支持 %1 格式的图片，请使用 BMP、JPEG、PNG、GIF、ICO 或 TIFF 图片。</source>
        <translation>%1 pictures are not supported; use BMP, JPEG, PNG, GIF, ICO or TIFF.</translation>
    </message>
    <message>
        <source>图片“%1”太大（%2×%3像素），超过了%4 MB的解码上限。</source>
        <translation>The picture &quot;%1&quot; is too large (%2×%3 pixels): it passes the %4 MB decoding limit.</translation>
    </message>
    <message>
        <source>图片文件“%1”已损坏或不完整，无法解码。</source>
        <translation>The picture file &quot;%1&quot; is damaged or incomplete and cannot be decoded.</translation>
    </message>
</context>
<context>
    <name>PasswordDialog</name>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>请输入口令：</source>
        <translation>Enter the password:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>您的输入不正确！</source>
        <translation>Your input is not correct!</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>PictureEditorPage</name>
    <message>
        <source>图片文件(*.bmp *.jpg *.jpeg *.tiff *.gif *.ico *.png);;所有文件(*)</source>
        <translation>Pictures (*.bmp *.jpg *.jpeg *.tiff *.gif *.ico *.png);;All files (*)</translation>
    </message>
    <message>
        <source>浏览...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>居中显示图片</source>
        <translation>Centre the picture</translation>
    </message>
    <message>
        <source>缩放到和屏一样大</source>
        <translation>Stretch to the screen</translation>
    </message>
    <message>
        <source>图像反色</source>
        <translation>Invert colours</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>图片路径：</source>
        <translation>Picture:</translation>
    </message>
    <message>
        <source>当图片和屏不一样大时：</source>
        <translation>When the picture and the screen differ in size:</translation>
    </message>
    <message>
        <source>亮度：</source>
        <translation>Brightness:</translation>
    </message>
</context>
<context>
    <name>PlayList</name>
    <message>
        <source>信息‘%1’的页面无法生成：全部信息的页面合计超过了 %2 MB 的上限。请缩短文字、减少信息或减小屏幕尺寸。</source>
        <translation>The pages of program &apos;%1&apos; cannot be made: the pages of all programs together exceed %2 MB. Shorten the text, remove programs or make the screen smaller.</translation>
    </message>
</context>
<context>
    <name>PortChannel</name>
    <message>
        <source>尚未初始化环境。</source>
        <translation>Not initialised yet.</translation>
    </message>
</context>
<context>
    <name>PreviewPanel</name>
    <message>
        <source>上页</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>下页</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>全部播放</source>
        <translation>Play all</translation>
    </message>
    <message>
        <source>当前信息共有 %1 页，当前预览的是第 %2 页。</source>
        <translation>The program has %1 pages; this is page %2.</translation>
    </message>
    <message>
        <source>提示：选中信息后预览。</source>
        <translation>Note: select a program to preview it.</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>预览放大倍数</source>
        <translation>Preview zoom</translation>
    </message>
</context>
<context>
    <name>PreviewPlayer</name>
    <message>
        <source>正在播放第 %1 条信息（共 %2 条）的第 %3 页。</source>
        <translation>Playing page %3 of program %1 (of %2).</translation>
    </message>
    <message>
        <source>正在播放第 %1 页，共 %2 页。</source>
        <translation>Playing page %1 of %2.</translation>
    </message>
</context>
<context>
    <name>ProgramListView</name>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>内容</source>
        <translation>Content</translation>
    </message>
    <message>
        <source>进入动画</source>
        <translation>Entry</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>环绕边框</source>
        <translation>Border</translation>
    </message>
    <message>
        <source>时钟分区</source>
        <translation>Clock zone</translation>
    </message>
</context>
<context>
    <name>ProgramWarnings</name>
    <message>
        <source>%1 行的屏建议使用 %2 磅的%3。</source>
        <translation>For a screen of %1 rows, %3 at %2 pt is recommended.</translation>
    </message>
    <message>
        <source>没有安装字体“%1”，将使用“%2”代替。</source>
        <translation>The font &quot;%1&quot; is not installed; &quot;%2&quot; is used instead.</translation>
    </message>
    <message>
        <source>当前显示屏为单色屏，%1色文字将不会显示。</source>
        <translation>%1 text will not show: the screen is single-colour.</translation>
    </message>
    <message>
        <source>当前显示屏为单色屏，%1色文字将显示为红色。</source>
        <translation>%1 text will show red: the screen is single-colour.</translation>
    </message>
    <message>
        <source>%1 磅的文字高 %2 行，超出了 %3 行的显示屏，上下部分将不会显示</source>
        <translation>Text of %1 pt is %2 rows high, more than the screen&apos;s %3 rows; its top and bottom will not show</translation>
    </message>
    <message>
        <source>文字中有换行，%1 行文字共高 %2 行，超出了 %3 行的显示屏，将被截去</source>
        <translation>The text has line breaks: %1 lines are %2 rows high, more than the screen&apos;s %3 rows, and will be cut</translation>
    </message>
    <message>
        <source>；请去掉换行，或使用不大于 %1 磅的字号。</source>
        <translation>; remove the line breaks or use a size of at most %1 pt.</translation>
    </message>
    <message>
        <source>；能完整显示的最大字号为 %1 磅。</source>
        <translation>; the largest size that fits is %1 pt.</translation>
    </message>
    <message>
        <source>；请去掉换行。</source>
        <translation>; remove the line breaks.</translation>
    </message>
    <message>
        <source>以下字符无法显示，显示屏上将显示为方框：%1。</source>
        <translation>These characters cannot be shown and appear as boxes on the sign: %1.</translation>
    </message>
    <message>
        <source>以下字符无法显示，显示屏上将不显示：%1。</source>
        <translation>These characters cannot be shown and are left out on the sign: %1.</translation>
    </message>
    <message>
        <source>%1 至 %2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>。</source>
        <translation>.</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消操作</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ProjectFile</name>
    <message>
        <source>没有项目文件 %1</source>
        <translation>No project file %1</translation>
    </message>
</context>
<context>
    <name>ProjectFileLock</name>
    <message>
        <source>磁盘已满：%1 所在的磁盘（%2）只剩 %3 字节，无法写入，项目文件未被修改。</source>
        <translation>Disk full: the disk of %1 (%2) has only %3 bytes left; nothing was written and the project file is unchanged.</translation>
    </message>
    <message>
        <source>项目文件 %1 正被其他程序使用（%2，进程 %3），请稍后再试。</source>
        <translation>The project file %1 is in use by another program (%2, process %3); try again later.</translation>
    </message>
    <message>
        <source>无法锁定项目文件 %1（%2）。</source>
        <translation>Cannot lock the project file %1 (%2).</translation>
    </message>
</context>
<context>
    <name>QuickParamsDialog</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>高级设置 &gt;&gt; ...</source>
        <translation>Advanced &gt;&gt; ...</translation>
    </message>
    <message>
        <source>快捷屏参</source>
        <translation>Quick screen parameters</translation>
    </message>
    <message>
        <source>单红色</source>
        <translation>Single red</translation>
    </message>
    <message>
        <source>红绿双色</source>
        <translation>Red and green</translation>
    </message>
    <message>
        <source>不改扫描方式</source>
        <translation>Keep the scan mode</translation>
    </message>
    <message>
        <source>改为φ3、φ5室内点阵(1/16)</source>
        <translation>Set to φ3/φ5 indoor matrix (1/16)</translation>
    </message>
    <message>
        <source>改为P10单红半户外(1/4)</source>
        <translation>Set to P10 single red semi-outdoor (1/4)</translation>
    </message>
    <message>
        <source>颜色类型：</source>
        <translation>Colours:</translation>
    </message>
    <message>
        <source>屏    高：</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>屏    宽：</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>扫描方式：</source>
        <translation>Scan mode:</translation>
    </message>
</context>
<context>
    <name>RequestGate</name>
    <message>
        <source>请求头太长：最多 %1 字节。</source>
        <translation>Request header too long: at most %1 bytes.</translation>
    </message>
    <message>
        <source>请求行无效。</source>
        <translation>Invalid request line.</translation>
    </message>
    <message>
        <source>请求头第 %1 行无效。</source>
        <translation>Request header line %1 is invalid.</translation>
    </message>
    <message>
        <source>请求正文必须带 Content-Length。</source>
        <translation>A request body needs a Content-Length.</translation>
    </message>
    <message>
        <source>请求带了多个 Content-Length。</source>
        <translation>The request has more than one Content-Length.</translation>
    </message>
    <message>
        <source>Content-Length 无效。</source>
        <translation>Invalid Content-Length.</translation>
    </message>
    <message>
        <source>请求带了多个 Host。</source>
        <translation>The request has more than one Host.</translation>
    </message>
    <message>
        <source>请求正文太大：最多 %1 字节。</source>
        <translation>Request body too large: at most %1 bytes.</translation>
    </message>
    <message>
        <source>请求头没有在 %1 秒内发完。</source>
        <translation>The request header did not arrive within %1 s.</translation>
    </message>
    <message>
        <source>请求正文发送太慢：每秒至少 %1 字节。</source>
        <translation>The request body arrives too slowly: at least %1 bytes a second.</translation>
    </message>
    <message>
        <source>服务忙，请稍后再试。</source>
        <translation>The service is busy; try again later.</translation>
    </message>
</context>
<context>
    <name>ScanModes</name>
    <message>
        <source>16.0:16扫,不打折(室内点阵常规)</source>
        <translation>16.0: 1/16 scan, unfolded (usual indoor matrix)</translation>
    </message>
    <message>
        <source>8.0: 8扫,不打折</source>
        <translation>8.0: 1/8 scan, unfolded</translation>
    </message>
    <message>
        <source>8.1: 8扫,下折1次,8点打折</source>
        <translation>8.1: 1/8 scan, folded down once, 8-dot fold</translation>
    </message>
    <message>
        <source>8.2: 8扫,上折1次,8点打折</source>
        <translation>8.2: 1/8 scan, folded up once, 8-dot fold</translation>
    </message>
    <message>
        <source>4.1: 4扫,下折3次,8点打折(P10常规)</source>
        <translation>4.1: 1/4 scan, folded down 3 times, 8-dot fold (usual P10)</translation>
    </message>
    <message>
        <source>4.2: 4扫,上折3次,8点打折</source>
        <translation>4.2: 1/4 scan, folded up 3 times, 8-dot fold</translation>
    </message>
    <message>
        <source>4.3: 4扫,下折1次,8点打折</source>
        <translation>4.3: 1/4 scan, folded down once, 8-dot fold</translation>
    </message>
    <message>
        <source>4.4: 4扫,下折1次,8点打折</source>
        <translation>4.4: 1/4 scan, folded down once, 8-dot fold</translation>
    </message>
    <message>
        <source>4.5: 4扫,下折3次,16点打折</source>
        <translation>4.5: 1/4 scan, folded down 3 times, 16-dot fold</translation>
    </message>
    <message>
        <source>4.6: 4扫,上折3次,16点打折</source>
        <translation>4.6: 1/4 scan, folded up 3 times, 16-dot fold</translation>
    </message>
    <message>
        <source>4.7: 4扫,下折1次,16点打折</source>
        <translation>4.7: 1/4 scan, folded down once, 16-dot fold</translation>
    </message>
    <message>
        <source>4.8: 4扫,上折1次,16点打折</source>
        <translation>4.8: 1/4 scan, folded up once, 16-dot fold</translation>
    </message>
</context>
<context>
    <name>Schedule</name>
    <message>
        <source>结束时间与开始时间相同</source>
        <translation>the end time equals the start time</translation>
    </message>
    <message>
        <source>结束日期早于开始日期</source>
        <translation>the end date is before the start date</translation>
    </message>
    <message>
        <source>时间“%1”无效，应为 00:00 至 %2 的“时:分”</source>
        <translation>invalid time &quot;%1&quot;: expected &quot;HH:MM&quot; from 00:00 to %2</translation>
    </message>
    <message>
        <source>应为 1 至 7 的星期数组（1 为星期一，7 为星期日）</source>
        <translation>expected an array of weekdays 1 to 7 (1 is Monday, 7 Sunday)</translation>
    </message>
    <message>
        <source>日期“%1”无效，应为“年-月-日”，如 2026-12-24</source>
        <translation>invalid date &quot;%1&quot;: expected &quot;YYYY-MM-DD&quot; such as 2026-12-24</translation>
    </message>
    <message>
        <source>应为 true 或 false</source>
        <translation>expected true or false</translation>
    </message>
    <message>
        <source>应为数组</source>
        <translation>expected an array</translation>
    </message>
    <message>
        <source>条目太多（最多 %1 个）</source>
        <translation>too many entries (at most %1)</translation>
    </message>
    <message>
        <source>应为对象</source>
        <translation>expected an object</translation>
    </message>
    <message>
        <source>日程文件太大（最多 1 MB）</source>
        <translation>the schedule file is too large (at most 1 MB)</translation>
    </message>
    <message>
        <source>不是有效的 JSON（错在第 %1 个字节处）</source>
        <translation>not valid JSON (error at byte %1)</translation>
    </message>
    <message>
        <source>日程文件应为一个 JSON 对象</source>
        <translation>the schedule file must be one JSON object</translation>
    </message>
    <message>
        <source>不支持的版本 %1（本程序读取版本 %2）</source>
        <translation>unsupported version %1 (this program reads version %2)</translation>
    </message>
    <message>
        <source>缺少播放表文件名</source>
        <translation>the play list file name is missing</translation>
    </message>
    <message>
        <source>优先级应为整数</source>
        <translation>the priority must be an integer</translation>
    </message>
    <message>
        <source>缺少亮度级别</source>
        <translation>the brightness level is missing</translation>
    </message>
    <message>
        <source>亮度应为 0 至 15 的整数</source>
        <translation>the brightness must be an integer from 0 to 15</translation>
    </message>
    <message>
        <source>应为“on”或“off”</source>
        <translation>expected &quot;on&quot; or &quot;off&quot;</translation>
    </message>
    <message>
        <source>无法读取日程文件 %1</source>
        <translation>cannot read the schedule file %1</translation>
    </message>
    <message>
        <source>播放表文件 %1 不存在</source>
        <translation>the play list file %1 does not exist</translation>
    </message>
    <message>
        <source>播放表文件 %1 无法读取：%2</source>
        <translation>the play list file %1 cannot be read: %2</translation>
    </message>
</context>
<context>
    <name>ScheduleRunner</name>
    <message>
        <source>无法读取播放表文件 %1</source>
        <translation>Cannot read the play list file %1</translation>
    </message>
    <message>
        <source>日程文件有错误，仍按上一次正确的日程运行。</source>
        <translation>The schedule file has errors; the last good schedule still runs.</translation>
    </message>
    <message>
        <source>日程文件有错误，没有按日程运行。</source>
        <translation>The schedule file has errors; nothing runs by schedule.</translation>
    </message>
    <message>
        <source>无法保存日程文件 %1：%2</source>
        <translation>Cannot save the schedule file %1: %2</translation>
    </message>
</context>
<context>
    <name>ScreenParamsText</name>
    <message>
        <source>单红</source>
        <translation>single red</translation>
    </message>
    <message>
        <source>红绿双色</source>
        <translation>red and green</translation>
    </message>
</context>
<context>
    <name>ScreenSwitchDialog</name>
    <message>
        <source>开屏</source>
        <translation>On</translation>
    </message>
    <message>
        <source>关屏</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>屏幕开关</source>
        <translation>Screen on/off</translation>
    </message>
</context>
<context>
    <name>SendResult</name>
    <message>
        <source>无法发送信息。</source>
        <translation>Cannot send the programs. </translation>
    </message>
    <message>
        <source>操作已取消。</source>
        <translation>Cancelled.</translation>
    </message>
</context>
<context>
    <name>SerialPort</name>
    <message>
        <source>指定的串口不存在。</source>
        <translation>The port does not exist.</translation>
    </message>
    <message>
        <source>对指定串口的访问被拒绝，可能已经被别的程序打开。</source>
        <translation>Access to the port was denied; another program may have it open.</translation>
    </message>
    <message>
        <source>（Linux 上还需当前用户属于 dialout 组：sudo usermod -aG dialout $USER，然后重新登录。）</source>
        <translation> (On Linux the user must also be in the dialout group: sudo usermod -aG dialout $USER, then log in again.)</translation>
    </message>
    <message>
        <source>打开串口时发生未知错误。</source>
        <translation>Unknown error while opening the port.</translation>
    </message>
</context>
<context>
    <name>SignService</name>
    <message>
        <source>%1第 %2 个字符是控制字符 U+%3</source>
        <translation>%1: character %2 is the control character U+%3</translation>
    </message>
    <message>
        <source>字段“%1”</source>
        <translation>field &quot;%1&quot;</translation>
    </message>
    <message>
        <source>字段名</source>
        <translation>field name</translation>
    </message>
    <message>
        <source>请求正文不是有效的 JSON：%1（第 %2 字节）</source>
        <translation>The request body is not valid JSON: %1 (byte %2)</translation>
    </message>
    <message>
        <source>请求正文必须是一个 JSON 对象。</source>
        <translation>The request body must be a JSON object.</translation>
    </message>
    <message>
        <source>请求正文第 %1 字节是不成对的代理项 %2：文字无法保存。</source>
        <translation>Byte %1 of the request body is an unpaired surrogate %2: the text cannot be saved.</translation>
    </message>
    <message>
        <source>：只允许换行和制表符。</source>
        <translation>: only line breaks and tabs are allowed.</translation>
    </message>
    <message>
        <source>需要登录或令牌：Authorization: Bearer TOKEN</source>
        <translation>Log in or give a token: Authorization: Bearer TOKEN</translation>
    </message>
    <message>
        <source>此地址不接受 %1 请求。</source>
        <translation>This address does not accept %1 requests.</translation>
    </message>
    <message>
        <source>没有这个地址：%1</source>
        <translation>No such address: %1</translation>
    </message>
    <message>
        <source>没有这个地址。</source>
        <translation>No such address.</translation>
    </message>
    <message>
        <source>项目文件夹</source>
        <translation>project folder</translation>
    </message>
    <message>
        <source>无法读取项目文件 %1：文件无法打开、已损坏或不是节目单文件（%2）</source>
        <translation>Cannot read the project file %1: it cannot be opened, is damaged or is not a play list file (%2)</translation>
    </message>
    <message>
        <source>无法保存项目文件 %1</source>
        <translation>Cannot save the project file %1</translation>
    </message>
</context>
<context>
    <name>SignServiceAccess</name>
    <message>
        <source>请求缺少 Host。</source>
        <translation>The request has no Host.</translation>
    </message>
    <message>
        <source>拒绝：本服务不使用主机名“%1”（可用 --allow-host 添加）。</source>
        <translation>Refused: this service does not answer to the host name &quot;%1&quot; (add it with --allow-host).</translation>
    </message>
    <message>
        <source>拒绝：来自其他网页（%1）的请求。</source>
        <translation>Refused: a request from another web page (%1).</translation>
    </message>
    <message>
        <source>图片的 Content-Type 必须是 image/...。</source>
        <translation>A picture&apos;s Content-Type must be image/....</translation>
    </message>
    <message>
        <source>请求的 Content-Type 必须是 application/json。</source>
        <translation>The request&apos;s Content-Type must be application/json.</translation>
    </message>
    <message>
        <source>令牌错误次数太多，请 %1 秒后再试。</source>
        <translation>Too many wrong tokens; try again in %1 s.</translation>
    </message>
    <message>
        <source>需要登录或令牌：Authorization: Bearer TOKEN</source>
        <translation>Log in or give a token: Authorization: Bearer TOKEN</translation>
    </message>
    <message>
        <source>令牌不对。</source>
        <translation>Wrong token.</translation>
    </message>
    <message>
        <source>需要 {&quot;token&quot;: &quot;...&quot;}。</source>
        <translation>Needs {&quot;token&quot;: &quot;...&quot;}.</translation>
    </message>
</context>
<context>
    <name>SignServiceCard</name>
    <message>
        <source>没有日程：服务启动时未给出 --schedule。</source>
        <translation>No schedule: the service was started without --schedule.</translation>
    </message>
    <message>
        <source>日程有错误，未保存：</source>
        <translation>The schedule has errors and was not saved: </translation>
    </message>
    <message>
        <source>未知字段“%1”；只接受“%2”。</source>
        <translation>Unknown field &quot;%1&quot;; only &quot;%2&quot; is accepted.</translation>
    </message>
    <message>
        <source>需要 {&quot;on&quot;: true} 或 {&quot;on&quot;: false}。</source>
        <translation>Needs {&quot;on&quot;: true} or {&quot;on&quot;: false}.</translation>
    </message>
    <message>
        <source>亮度必须是 0 到 15 的整数：{&quot;level&quot;: 0..15}。</source>
        <translation>The brightness must be a whole number from 0 to 15: {&quot;level&quot;: 0..15}.</translation>
    </message>
    <message>
        <source>此命令不接受任何字段。</source>
        <translation>This command takes no fields.</translation>
    </message>
    <message>
        <source>发送不接受任何字段。</source>
        <translation>Send takes no fields.</translation>
    </message>
    <message>
        <source>正在连接控制卡...</source>
        <translation>Connecting to the card...</translation>
    </message>
    <message>
        <source>没有项目文件 %1</source>
        <translation>No project file %1</translation>
    </message>
    <message>
        <source>无法读取项目文件 %1（%2）</source>
        <translation>Cannot read the project file %1 (%2)</translation>
    </message>
    <message>
        <source>没有发送任务 %1。</source>
        <translation>No send job %1.</translation>
    </message>
    <message>
        <source>没有名为“%1”的屏。</source>
        <translation>No sign named &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>SignServicePrograms</name>
    <message>
        <source>正在发送：发送结束前不能修改节目单。</source>
        <translation>Sending: the play list cannot change until the send ends.</translation>
    </message>
    <message>
        <source>图片名称无效：只能是 pictures/ 中的文件名。</source>
        <translation>Invalid picture name: only a file name in pictures/.</translation>
    </message>
    <message>
        <source>没有图片“%1”：请先上传。</source>
        <translation>No picture &quot;%1&quot;: upload it first.</translation>
    </message>
    <message>
        <source>未知字段“%1”；可用字段：%2</source>
        <translation>Unknown field &quot;%1&quot;; fields: %2</translation>
    </message>
    <message>
        <source>字段“%1”的类型不对：需要字符串或整数。</source>
        <translation>Field &quot;%1&quot; has the wrong type: a string or an integer is needed.</translation>
    </message>
    <message>
        <source>需要 &quot;kind&quot;: &quot;text&quot; 或 &quot;picture&quot;。</source>
        <translation>Needs &quot;kind&quot;: &quot;text&quot; or &quot;picture&quot;.</translation>
    </message>
    <message>
        <source>文字节目需要 &quot;content&quot;（字符串）。</source>
        <translation>A text program needs &quot;content&quot; (a string).</translation>
    </message>
    <message>
        <source>图片节目需要 &quot;picture&quot;（已上传的图片名称）。</source>
        <translation>A picture program needs &quot;picture&quot; (the name of an uploaded picture).</translation>
    </message>
    <message>
        <source>没有节目 %1：节目单是空的。</source>
        <translation>No program %1: the play list is empty.</translation>
    </message>
    <message>
        <source>没有节目 %1：节目号为 1 到 %2。</source>
        <translation>No program %1: programs are numbered 1 to %2.</translation>
    </message>
    <message>
        <source>节目的种类不能修改。</source>
        <translation>A program&apos;s kind cannot change.</translation>
    </message>
    <message>
        <source>需要 {&quot;direction&quot;: &quot;up&quot;} 或 {&quot;direction&quot;: &quot;down&quot;}。</source>
        <translation>Needs {&quot;direction&quot;: &quot;up&quot;} or {&quot;direction&quot;: &quot;down&quot;}.</translation>
    </message>
    <message>
        <source>节目 %1 已经是第一个。</source>
        <translation>Program %1 is already the first.</translation>
    </message>
    <message>
        <source>节目 %1 已经是最后一个。</source>
        <translation>Program %1 is already the last.</translation>
    </message>
    <message>
        <source>节目 %1 没有第 %2 页（共 %3 页）。</source>
        <translation>Program %1 has no page %2 (it has %3).</translation>
    </message>
    <message>
        <source>scale 必须是 1 到 %1。</source>
        <translation>scale must be 1 to %1.</translation>
    </message>
    <message>
        <source>scale 太大：图片会超过 %1 像素。</source>
        <translation>scale too large: the picture would exceed %1 pixels.</translation>
    </message>
    <message>
        <source>scale 只能是 1 到 4。</source>
        <translation>scale must be 1 to 4.</translation>
    </message>
    <message>
        <source>无法生成动画：%1</source>
        <translation>Cannot make the animation: %1</translation>
    </message>
    <message>
        <source>图片名称无效：只能用字母、数字、“._- ”和空格，不能以“.”开头，最多 %1 个字符。</source>
        <translation>Invalid picture name: letters, digits, &quot;._-&quot; and spaces only, not starting with &quot;.&quot;, at most %1 characters.</translation>
    </message>
    <message>
        <source>请求正文是空的：需要图片文件。</source>
        <translation>The request body is empty: a picture file is needed.</translation>
    </message>
    <message>
        <source>无法建立文件夹 pictures</source>
        <translation>Cannot create the folder pictures</translation>
    </message>
    <message>
        <source>无法写入文件夹 pictures</source>
        <translation>Cannot write to the folder pictures</translation>
    </message>
    <message>
        <source>无法解码这个图片文件。</source>
        <translation>Cannot decode this picture file.</translation>
    </message>
    <message>
        <source>无法保存图片 %1</source>
        <translation>Cannot save the picture %1</translation>
    </message>
    <message>
        <source>消息需要 &quot;text&quot;（要显示的文字）。</source>
        <translation>A message needs &quot;text&quot; (the text to show).</translation>
    </message>
    <message>
        <source>&quot;duration&quot; 必须是 1 到 %1 的整数（秒）。</source>
        <translation>&quot;duration&quot; must be a whole number of seconds from 1 to %1.</translation>
    </message>
    <message>
        <source>无法为消息建立临时文件夹。</source>
        <translation>Cannot create a temporary folder for the message.</translation>
    </message>
    <message>
        <source>等待显示的消息太多（最多 %1 条），请稍后再试。</source>
        <translation>Too many messages waiting (at most %1); try again later.</translation>
    </message>
</context>
<context>
    <name>TcpChannel</name>
    <message>
        <source>与网络转换器的连接已断开。</source>
        <translation>The connection to the network converter was lost.</translation>
    </message>
    <message>
        <source>网络转换器拒绝连接，请检查地址和端口是否正确。</source>
        <translation>The network converter refused the connection; check the address and port.</translation>
    </message>
    <message>
        <source>找不到网络转换器的主机名。</source>
        <translation>The network converter&apos;s host name was not found.</translation>
    </message>
    <message>
        <source>连接网络转换器超时，请检查网络连接。</source>
        <translation>Connecting to the network converter timed out; check the network.</translation>
    </message>
    <message>
        <source>无法连接到网络转换器，请检查网络连接。</source>
        <translation>Cannot reach the network converter; check the network.</translation>
    </message>
    <message>
        <source>网络通讯时发生未知错误。</source>
        <translation>Unknown network error.</translation>
    </message>
    <message>
        <source>网络端口名称无效，应为 tcp://主机:端口。</source>
        <translation>Invalid network port name; expected tcp://HOST:PORT.</translation>
    </message>
    <message>
        <source>从网络转换器读取数据时发生错误！</source>
        <translation>Error while reading from the network converter!</translation>
    </message>
    <message>
        <source>向网络转换器发送数据时发生错误！</source>
        <translation>Error while sending to the network converter!</translation>
    </message>
</context>
<context>
    <name>TextEditorPage</name>
    <message>
        <source>字体：</source>
        <translation>Font:</translation>
    </message>
    <message>
        <source>大小：</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>颜色：</source>
        <translation>Colour:</translation>
    </message>
    <message>
        <source>字型：</source>
        <translation>Style:</translation>
    </message>
</context>
<context>
    <name>UploadEncoder</name>
    <message>
        <source>每页点阵数据为%1字节，超出了单页最多%2字节的限制。</source>
        <translation>A page has %1 bytes of dot data, more than the %2 bytes a page may have.</translation>
    </message>
    <message>
        <source>信息共有%1页，超出了每条信息最多%2页的限制。</source>
        <translation>The program has %1 pages, more than the %2 pages a program may have.</translation>
    </message>
    <message>
        <source>页码超出了控制卡最多%1页的限制。</source>
        <translation>The page number passes the %1 pages the card can hold.</translation>
    </message>
    <message>
        <source>页面没有点阵数据。</source>
        <translation>The page has no dot data.</translation>
    </message>
</context>
<context>
    <name>ValueTables</name>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>单点快走</source>
        <translation>Single dot, fast</translation>
    </message>
    <message>
        <source>单点慢走</source>
        <translation>Single dot, slow</translation>
    </message>
    <message>
        <source>四点快走</source>
        <translation>Four dots, fast</translation>
    </message>
    <message>
        <source>四点慢走</source>
        <translation>Four dots, slow</translation>
    </message>
    <message>
        <source>八点快闪</source>
        <translation>Eight dots flashing fast</translation>
    </message>
    <message>
        <source>八点慢闪</source>
        <translation>Eight dots flashing slowly</translation>
    </message>
    <message>
        <source>全快闪</source>
        <translation>All flashing fast</translation>
    </message>
    <message>
        <source>全慢闪</source>
        <translation>All flashing slowly</translation>
    </message>
    <message>
        <source>立刻显示</source>
        <translation>Show at once</translation>
    </message>
    <message>
        <source>左移</source>
        <translation>Move left</translation>
    </message>
    <message>
        <source>右移</source>
        <translation>Move right</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Move up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Move down</translation>
    </message>
    <message>
        <source>从左向右展开</source>
        <translation>Unfold left to right</translation>
    </message>
    <message>
        <source>从上向下展开</source>
        <translation>Unfold top to bottom</translation>
    </message>
    <message>
        <source>水平中展</source>
        <translation>Unfold from the middle</translation>
    </message>
    <message>
        <source>水平百叶窗</source>
        <translation>Horizontal blinds</translation>
    </message>
    <message>
        <source>垂直百叶窗</source>
        <translation>Vertical blinds</translation>
    </message>
    <message>
        <source>上下交叉对进</source>
        <translation>Interlace from top and bottom</translation>
    </message>
    <message>
        <source>左右交叉对展</source>
        <translation>Interlace from left and right</translation>
    </message>
    <message>
        <source>连续左移</source>
        <translation>Scroll left continuously</translation>
    </message>
    <message>
        <source>菱形扩散</source>
        <translation>Diamond</translation>
    </message>
    <message>
        <source>斜向下移</source>
        <translation>Move down diagonally</translation>
    </message>
    <message>
        <source>斜向左展</source>
        <translation>Unfold left diagonally</translation>
    </message>
    <message>
        <source>马赛克</source>
        <translation>Mosaic</translation>
    </message>
    <message>
        <source>下雨</source>
        <translation>Rain</translation>
    </message>
    <message>
        <source>(慢)</source>
        <translation> (slow)</translation>
    </message>
    <message>
        <source>(快)</source>
        <translation> (fast)</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>表盘</source>
        <translation>Dial</translation>
    </message>
    <message>
        <source>文字</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>亮灭闪</source>
        <translation>Blink</translation>
    </message>
    <message>
        <source>反白闪</source>
        <translation>Inverse</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Regular</translation>
    </message>
    <message>
        <source>粗体</source>
        <translation>Bold</translation>
    </message>
    <message>
        <source>斜体</source>
        <translation>Italic</translation>
    </message>
    <message>
        <source>粗斜体</source>
        <translation>Bold italic</translation>
    </message>
    <message>
        <source>红</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>绿</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>黄</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>Text</translation>
    </message>
</context>
<context>
    <name>WebPage</name>
    <message>
        <source>Brivane 显示屏</source>
        <translation>Brivane sign</translation>
    </message>
    <message>
        <source>Brivane 显示屏 - 登录</source>
        <translation>Brivane sign - log in</translation>
    </message>
    <message>
        <source>卡信息：</source>
        <translation>Card: </translation>
    </message>
    <message>
        <source>未读取</source>
        <translation>not read</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>发送...</source>
        <translation>Send...</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>节目单</source>
        <translation>Play list</translation>
    </message>
    <message>
        <source>节目单是空的。</source>
        <translation>The play list is empty.</translation>
    </message>
    <message>
        <source>添加文字节目</source>
        <translation>Add a text program</translation>
    </message>
    <message>
        <source>输入要显示的文字</source>
        <translation>Text to show</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>添加图片节目</source>
        <translation>Add a picture program</translation>
    </message>
    <message>
        <source>上传并添加</source>
        <translation>Upload and add</translation>
    </message>
    <message>
        <source>日程</source>
        <translation>Schedule</translation>
    </message>
    <message>
        <source>每天校时</source>
        <translation>Set the clock daily at</translation>
    </message>
    <message>
        <source>添加播放表</source>
        <translation>Add a play list</translation>
    </message>
    <message>
        <source>添加亮度时段</source>
        <translation>Add a brightness window</translation>
    </message>
    <message>
        <source>添加关屏时段</source>
        <translation>Add an off window</translation>
    </message>
    <message>
        <source>保存日程</source>
        <translation>Save the schedule</translation>
    </message>
    <message>
        <source>文字</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>动画</source>
        <translation>Entry</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>边框</source>
        <translation>Border</translation>
    </message>
    <message>
        <source>时钟区</source>
        <translation>Clock zone</translation>
    </message>
    <message>
        <source>停留时间(秒)</source>
        <translation>Stay (s)</translation>
    </message>
    <message>
        <source>走字级别</source>
        <translation>Speed level</translation>
    </message>
    <message>
        <source>停留闪烁</source>
        <translation>Flash</translation>
    </message>
    <message>
        <source>闪烁间隔(秒)</source>
        <translation>Flash interval (s)</translation>
    </message>
    <message>
        <source>字体</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>字号</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>字型</source>
        <translation>Style</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>保存修改</source>
        <translation>Save changes</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>请输入令牌</source>
        <translation>Enter the token</translation>
    </message>
    <message>
        <source>令牌</source>
        <translation>Token</translation>
    </message>
    <message>
        <source>登录</source>
        <translation>Log in</translation>
    </message>
    <message>
        <source>图片</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source> · 停留 %1 秒 · %2 页</source>
        <translation> · stays %1 s · %2 pages</translation>
    </message>
    <message>
        <source>第 %1 页</source>
        <translation>Page %1</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>已保存节目 %1。</source>
        <translation>Program %1 saved.</translation>
    </message>
    <message>
        <source>删除节目 %1？</source>
        <translation>Delete program %1?</translation>
    </message>
    <message>
        <source>已删除。</source>
        <translation>Deleted.</translation>
    </message>
    <message>
        <source>正在读取...</source>
        <translation>Reading...</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>，亮度 %1</source>
        <translation>, brightness %1</translation>
    </message>
    <message>
        <source>发送失败。</source>
        <translation>The send failed.</translation>
    </message>
    <message>
        <source>请输入文字。</source>
        <translation>Enter a text.</translation>
    </message>
    <message>
        <source>已添加。</source>
        <translation>Added.</translation>
    </message>
    <message>
        <source>请选择图片文件。</source>
        <translation>Choose a picture file.</translation>
    </message>
    <message>
        <source>已添加图片。</source>
        <translation>Picture added.</translation>
    </message>
    <message>
        <source>一</source>
        <translation>Mon</translation>
    </message>
    <message>
        <source>二</source>
        <translation>Tue</translation>
    </message>
    <message>
        <source>三</source>
        <translation>Wed</translation>
    </message>
    <message>
        <source>四</source>
        <translation>Thu</translation>
    </message>
    <message>
        <source>五</source>
        <translation>Fri</translation>
    </message>
    <message>
        <source>六</source>
        <translation>Sat</translation>
    </message>
    <message>
        <source>日</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>没有按日程运行。</source>
        <translation>Not running by schedule.</translation>
    </message>
    <message>
        <source>现在：%1 · 亮度 %2</source>
        <translation>Now: %1 · brightness %2</translation>
    </message>
    <message>
        <source>不变</source>
        <translation>unchanged</translation>
    </message>
    <message>
        <source> · 屏幕开</source>
        <translation> · screen on</translation>
    </message>
    <message>
        <source> · 屏幕关</source>
        <translation> · screen off</translation>
    </message>
    <message>
        <source> · 下次变化 %1</source>
        <translation> · next change %1</translation>
    </message>
    <message>
        <source> · 正在发送</source>
        <translation> · sending</translation>
    </message>
    <message>
        <source> · %1 秒后重试</source>
        <translation> · retrying in %1 s</translation>
    </message>
    <message>
        <source> · 上次失败：%1</source>
        <translation> · last attempt failed: %1</translation>
    </message>
    <message>
        <source> (%1 至 %2)</source>
        <translation> (%1 to %2)</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>From</translation>
    </message>
    <message>
        <source>结束</source>
        <translation>To</translation>
    </message>
    <message>
        <source>播放表</source>
        <translation>Play list</translation>
    </message>
    <message>
        <source>开始日期</source>
        <translation>From date</translation>
    </message>
    <message>
        <source>结束日期</source>
        <translation>To date</translation>
    </message>
    <message>
        <source>优先级</source>
        <translation>Priority</translation>
    </message>
    <message>
        <source>启用</source>
        <translation>On</translation>
    </message>
    <message>
        <source>亮度</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>亮度级别</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>关屏</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>开屏</source>
        <translation>On</translation>
    </message>
    <message>
        <source>开关屏</source>
        <translation>Screen on/off</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>日程已保存。</source>
        <translation>Schedule saved.</translation>
    </message>
</context>
<context>
    <name>XmlDocument</name>
    <message>
        <source>节目单太大，保存后的项目文件将超过%1 MB，以后无法再打开，未保存。请删除一些节目后再试。</source>
        <translation>The play list is too large: the saved project file would pass %1 MB and could not be opened again. Not saved; delete some programs and try again.</translation>
    </message>
    <message>
        <source>节目太多，保存后的项目文件将超过%1个元素，以后无法再打开，未保存。请删除一些节目后再试。</source>
        <translation>Too many programs: the saved project file would pass %1 elements and could not be opened again. Not saved; delete some programs and try again.</translation>
    </message>
    <message>
        <source>保存后的项目文件将无法再打开，未保存。</source>
        <translation>The saved project file could not be opened again; not saved.</translation>
    </message>
</context>
</TS>
