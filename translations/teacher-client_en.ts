<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ActionSheet</name>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>选项</source>
        <extracomment>What a screen reader calls a list of choices that has no title.</extracomment>
        <translation>Options</translation>
    </message>
</context>
<context>
    <name>AlertView</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>AnswerHandling</name>
    <message>
        <source>无网络连接</source>
        <translation>No network connection</translation>
    </message>
    <message>
        <source>数据过多，无法显示</source>
        <translation>Too much data to show</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>登录已失效，请重新登录</source>
        <translation>Your session has expired. Please sign in again.</translation>
    </message>
</context>
<context>
    <name>AppWindow</name>
    <message>
        <source>正在发送批阅结果…</source>
        <translation>Sending grades…</translation>
    </message>
    <message numerus="yes">
        <source>还有 %n 篇批阅未发送：服务还没有回答。现在退出，这些批阅可能没有保存。</source>
        <translation>
            <numerusform>%n grade has not been sent: the service has not answered yet. If you quit now, it may not be saved.</numerusform>
            <numerusform>%n grades have not been sent: the service has not answered yet. If you quit now, they may not be saved.</numerusform>
        </translation>
    </message>
    <message>
        <source>继续等待</source>
        <translation>Keep waiting</translation>
    </message>
    <message>
        <source>仍然退出</source>
        <translation>Quit anyway</translation>
    </message>
    <message>
        <source>教师端</source>
        <extracomment>The program&apos;s name, in the window&apos;s title and the about box.</extracomment>
        <translation>Teacher Edition</translation>
    </message>
</context>
<context>
    <name>BaseAFHttpManager</name>
    <message>
        <source>请求已取消</source>
        <translation>Request cancelled</translation>
    </message>
    <message>
        <source>服务出错（%1）</source>
        <extracomment>%1 is the HTTP status code.</extracomment>
        <translation>Service error (%1)</translation>
    </message>
    <message>
        <source>服务的回答无法读取</source>
        <translation>The service&apos;s response could not be read</translation>
    </message>
    <message>
        <source>无网络连接</source>
        <translation>No network connection</translation>
    </message>
</context>
<context>
    <name>BasicVC</name>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
</context>
<context>
    <name>BatchGrading</name>
    <message>
        <source>正在批阅 %1/%2 篇…</source>
        <extracomment>Progress of grading several reflections at once: answered so far / all.</extracomment>
        <translation>Grading %1/%2…</translation>
    </message>
    <message numerus="yes">
        <source>已批阅 %n 篇</source>
        <translation>
            <numerusform>%n reflection graded</numerusform>
            <numerusform>%n reflections graded</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 篇已批阅，%2 篇未能批阅：%3</source>
        <extracomment>%1 graded, %2 not graded, %3 the reasons.</extracomment>
        <translation>%1 graded, %2 could not be graded: %3</translation>
    </message>
    <message>
        <source>；</source>
        <extracomment>Separates the reasons a batch grading gives.</extracomment>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>BindViewController</name>
    <message>
        <source>请输入要绑定的手机号</source>
        <translation>Enter the mobile number to link</translation>
    </message>
    <message>
        <source>手机号</source>
        <translation>Mobile number</translation>
    </message>
    <message>
        <source>请输入验证码</source>
        <translation>Enter the verification code</translation>
    </message>
    <message>
        <source>验证码</source>
        <translation>Verification code</translation>
    </message>
    <message>
        <source>获取验证码</source>
        <translation>Send code</translation>
    </message>
    <message>
        <source>绑定</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>绑定手机</source>
        <translation>Link mobile number</translation>
    </message>
    <message>
        <source>正在绑定</source>
        <translation>Linking</translation>
    </message>
</context>
<context>
    <name>BookCommentCell</name>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
</context>
<context>
    <name>BookCommentRows</name>
    <message>
        <source>%1：%2（%3）</source>
        <extracomment>A comment as a screen reader reads it: writer, comment, time.</extracomment>
        <translation>%1: %2 (%3)</translation>
    </message>
    <message>
        <source>按 Delete 键删除这条评论</source>
        <translation>Press Delete to delete this comment</translation>
    </message>
</context>
<context>
    <name>BookCommentVC</name>
    <message>
        <source>写下你对这本书的评论…</source>
        <translation>Write your comment on this book…</translation>
    </message>
    <message>
        <source>评论</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>写评论</source>
        <translation>Write a comment</translation>
    </message>
    <message>
        <source>评论列表</source>
        <translation>Comments</translation>
    </message>
    <message>
        <source>暂不支持表情</source>
        <translation>Emoji are not supported yet</translation>
    </message>
    <message>
        <source>确认删除？</source>
        <translation>Delete this comment?</translation>
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
    <name>BookDetailVC</name>
    <message>
        <source>封面</source>
        <translation>Cover</translation>
    </message>
    <message>
        <source>书名</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>小红花</source>
        <translation>Flowers</translation>
    </message>
    <message>
        <source>点赞</source>
        <translation>Likes</translation>
    </message>
    <message>
        <source>评论</source>
        <translation>Comments</translation>
    </message>
    <message>
        <source>ISBN</source>
        <translation>ISBN</translation>
    </message>
    <message>
        <source>出版社</source>
        <translation>Publisher</translation>
    </message>
    <message>
        <source>简介</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>推荐</source>
        <translation>Related</translation>
    </message>
    <message>
        <source>推荐的书</source>
        <translation>Recommended books</translation>
    </message>
    <message>
        <source>收藏</source>
        <translation>Collect</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>已收藏</source>
        <translation>Collected</translation>
    </message>
    <message>
        <source>详情</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>收藏或取消收藏 (Ctrl+D)</source>
        <translation>Collect or remove from collection (Ctrl+D)</translation>
    </message>
    <message>
        <source>出版:%1</source>
        <extracomment>The publisher line under the book&apos;s ISBN.</extracomment>
        <translation>Publisher: %1</translation>
    </message>
    <message>
        <source>小红花%1</source>
        <translation>Flowers %1</translation>
    </message>
    <message>
        <source>点赞%1</source>
        <translation>Likes %1</translation>
    </message>
    <message>
        <source>评论%1</source>
        <translation>Comments %1</translation>
    </message>
</context>
<context>
    <name>BookGridRows</name>
    <message numerus="yes">
        <source>%1，%n 朵小红花</source>
        <translation>
            <numerusform>%1, %n flower</numerusform>
            <numerusform>%1, %n flowers</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>BookIntroduceVC</name>
    <message>
        <source>简介</source>
        <translation>Summary</translation>
    </message>
</context>
<context>
    <name>BookListVC</name>
    <message>
        <source>书城的书</source>
        <translation>Books in the store</translation>
    </message>
    <message>
        <source>书城</source>
        <translation>Book store</translation>
    </message>
    <message>
        <source>搜索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>搜索 (Ctrl+F)</source>
        <translation>Search (Ctrl+F)</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
</context>
<context>
    <name>BookSearchVC</name>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>请输入书名</source>
        <translation>Enter a book title</translation>
    </message>
    <message>
        <source>搜索书名</source>
        <translation>Search titles</translation>
    </message>
    <message>
        <source>搜索到的书</source>
        <translation>Books found</translation>
    </message>
    <message>
        <source>搜索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>搜索内容不能为空</source>
        <translation>Enter something to search for</translation>
    </message>
</context>
<context>
    <name>BookSortMenu</name>
    <message>
        <source>热门↓</source>
        <translation>Popular↓</translation>
    </message>
    <message>
        <source>热门↑</source>
        <translation>Popular↑</translation>
    </message>
    <message>
        <source>名称↑</source>
        <translation>Title↑</translation>
    </message>
    <message>
        <source>名称↓</source>
        <translation>Title↓</translation>
    </message>
    <message>
        <source>时间↑</source>
        <translation>Date↑</translation>
    </message>
    <message>
        <source>时间↓</source>
        <translation>Date↓</translation>
    </message>
    <message>
        <source>小花↑</source>
        <translation>Flowers↑</translation>
    </message>
    <message>
        <source>小花↓</source>
        <translation>Flowers↓</translation>
    </message>
    <message>
        <source>按年级</source>
        <translation>By grade</translation>
    </message>
    <message>
        <source>%1年级</source>
        <extracomment>One school grade in the book store&apos;s grade filter, e.g. &quot;3年级&quot;.</extracomment>
        <translation>Grade %1</translation>
    </message>
    <message>
        <source>按分类</source>
        <translation>By category</translation>
    </message>
</context>
<context>
    <name>CameraCapture</name>
    <message>
        <source>拍摄</source>
        <translation>Capture</translation>
    </message>
    <message>
        <source>拍摄照片</source>
        <translation>Take photo</translation>
    </message>
    <message>
        <source>摄像头画面</source>
        <translation>Camera view</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>拍摄失败，请重试</source>
        <translation>Could not take the photo. Please try again.</translation>
    </message>
    <message>
        <source>无法打开摄像头</source>
        <translation>Cannot open the camera</translation>
    </message>
</context>
<context>
    <name>CatZanButton</name>
    <message>
        <source>点赞</source>
        <translation>Like</translation>
    </message>
</context>
<context>
    <name>ChangePhoneVC</name>
    <message>
        <source>请输入新手机号</source>
        <translation>Enter the new mobile number</translation>
    </message>
    <message>
        <source>手机号</source>
        <translation>Mobile number</translation>
    </message>
    <message>
        <source>请输入验证码</source>
        <translation>Enter the verification code</translation>
    </message>
    <message>
        <source>验证码</source>
        <translation>Verification code</translation>
    </message>
    <message>
        <source>获取验证码</source>
        <translation>Send code</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>修改手机号</source>
        <translation>Change mobile number</translation>
    </message>
    <message>
        <source>该手机号已被绑定</source>
        <translation>This mobile number is already linked</translation>
    </message>
    <message>
        <source>正在修改</source>
        <translation>Saving</translation>
    </message>
</context>
<context>
    <name>ChangePwdVC</name>
    <message>
        <source>请输入旧密码</source>
        <translation>Enter your current password</translation>
    </message>
    <message>
        <source>旧密码</source>
        <translation>Current password</translation>
    </message>
    <message>
        <source>请输入6-20位新密码</source>
        <translation>Enter a new password (6–20 characters)</translation>
    </message>
    <message>
        <source>新密码</source>
        <translation>New password</translation>
    </message>
    <message>
        <source>请再次输入新密码</source>
        <translation>Enter the new password again</translation>
    </message>
    <message>
        <source>确认新密码</source>
        <translation>Confirm new password</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>密码修改成功，请重新登录</source>
        <translation>Password changed. Please sign in again.</translation>
    </message>
    <message>
        <source>重新登录</source>
        <translation>Sign in again</translation>
    </message>
    <message>
        <source>修改密码</source>
        <translation>Change password</translation>
    </message>
    <message>
        <source>正在修改</source>
        <translation>Saving</translation>
    </message>
</context>
<context>
    <name>ChartDropDownMenu</name>
    <message>
        <source>筛选</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>关闭筛选</source>
        <translation>Close filter</translation>
    </message>
    <message>
        <source>筛选选项</source>
        <translation>Filter options</translation>
    </message>
    <message>
        <source>筛选细项</source>
        <translation>Filter values</translation>
    </message>
</context>
<context>
    <name>ChartListVC</name>
    <message>
        <source>小花</source>
        <translation>Flowers</translation>
    </message>
    <message>
        <source>平均小花</source>
        <translation>Average flowers</translation>
    </message>
    <message>
        <source>报表</source>
        <translation>Reports</translation>
    </message>
    <message>
        <source>年级</source>
        <translation>Grade</translation>
    </message>
    <message>
        <source>学校</source>
        <translation>School</translation>
    </message>
    <message>
        <source>区域</source>
        <translation>Region</translation>
    </message>
    <message>
        <source>报表 · %1</source>
        <extracomment>The heading of an exported report, with the view (grade, school or region).</extracomment>
        <translation>Reports · %1</translation>
    </message>
    <message>
        <source>区县</source>
        <translation>District</translation>
    </message>
    <message>
        <source>城市</source>
        <translation>City</translation>
    </message>
    <message>
        <source>学期：%1</source>
        <translation>Term: %1</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <extracomment>The second filter of an exported report: its kind, then its value.</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>平均：%1朵小花</source>
        <translation>Average: %1 flowers</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>%1朵小花</source>
        <extracomment>The average beside the report&apos;s filters; %1 is the number, drawn in red.</extracomment>
        <translation>%1 flowers</translation>
    </message>
</context>
<context>
    <name>ChartMenuModel</name>
    <message>
        <source>%1年级</source>
        <extracomment>One school grade in the reports&apos; grade filter, e.g. &quot;3年级&quot;.</extracomment>
        <translation>Grade %1</translation>
    </message>
</context>
<context>
    <name>ChartMenuRows</name>
    <message>
        <source>已选</source>
        <translation>Selected</translation>
    </message>
</context>
<context>
    <name>ChartRows</name>
    <message>
        <source>%1，平均%2朵小花</source>
        <extracomment>A report row as a screen reader reads it: the name, then its average of flowers.</extracomment>
        <translation>%1, average %2 flowers</translation>
    </message>
</context>
<context>
    <name>ChartViewController</name>
    <message>
        <source>报表</source>
        <translation>Reports</translation>
    </message>
    <message>
        <source>报表类型</source>
        <translation>Report type</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
</context>
<context>
    <name>ClassChangeView</name>
    <message>
        <source>关闭班级列表</source>
        <translation>Close list of classes</translation>
    </message>
    <message>
        <source>班级列表</source>
        <translation>List of classes</translation>
    </message>
</context>
<context>
    <name>ClassDetailListVC</name>
    <message>
        <source>测试的书</source>
        <translation>Quizzed books</translation>
    </message>
    <message>
        <source>收藏的书</source>
        <translation>Collected books</translation>
    </message>
    <message>
        <source>推荐的书</source>
        <translation>Recommended books</translation>
    </message>
</context>
<context>
    <name>ClassDetailVC</name>
    <message>
        <source>头像</source>
        <translation>Profile photo</translation>
    </message>
    <message>
        <source>测试的书</source>
        <translation>Quizzed books</translation>
    </message>
    <message>
        <source>收藏的书</source>
        <translation>Collected books</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>详情</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>(等级)%1</source>
        <extracomment>A pupil&apos;s level title, after the word for level in brackets.</extracomment>
        <translation>(Level) %1</translation>
    </message>
    <message>
        <source>x%1朵</source>
        <extracomment>A pupil&apos;s flowers: &quot;x&quot; and the count.</extracomment>
        <translation>x%1</translation>
    </message>
</context>
<context>
    <name>ClassListCell</name>
    <message>
        <source>%1，等级%2，小红花%3朵，测评%4次</source>
        <extracomment>A pupil of the roster as a screen reader reads it: name, level, flowers, tests.</extracomment>
        <translation>%1, level %2, %3 flowers, %4 quizzes</translation>
    </message>
    <message>
        <source>x%1朵</source>
        <extracomment>A pupil&apos;s flowers: &quot;x&quot; and the count.</extracomment>
        <translation>x%1</translation>
    </message>
    <message>
        <source>%1朵</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>小红花:</source>
        <translation>Flowers:</translation>
    </message>
    <message>
        <source>手机:%1</source>
        <translation>Mobile: %1</translation>
    </message>
    <message>
        <source>等级:</source>
        <translation>Level:</translation>
    </message>
    <message>
        <source>%1次</source>
        <extracomment>The number of tests a pupil passed, after &quot;测评:&quot;.</extracomment>
        <translation>%1</translation>
    </message>
    <message>
        <source>测评:</source>
        <translation>Quizzes:</translation>
    </message>
</context>
<context>
    <name>ClassSortView</name>
    <message>
        <source>排序</source>
        <translation>Sort</translation>
    </message>
</context>
<context>
    <name>ClassViewController</name>
    <message>
        <source>名片</source>
        <translation>Cards</translation>
    </message>
    <message>
        <source>学生列表</source>
        <translation>Class list</translation>
    </message>
    <message>
        <source>切换班级</source>
        <translation>Switch class</translation>
    </message>
    <message>
        <source>我的班级</source>
        <translation>My classes</translation>
    </message>
    <message>
        <source>列标题，点击排序</source>
        <translation>Column header, click to sort</translation>
    </message>
    <message>
        <source>%1年级%2</source>
        <extracomment>A class: the grade as the service names it, then the class&apos;s name.</extracomment>
        <translation>Grade %1 %2</translation>
    </message>
    <message>
        <source>列表</source>
        <translation>List</translation>
    </message>
    <message>
        <source>在列表和名片之间切换</source>
        <translation>Switch between list and cards</translation>
    </message>
    <message>
        <source>按姓名</source>
        <translation>By name</translation>
    </message>
    <message>
        <source>按等级</source>
        <translation>By level</translation>
    </message>
    <message>
        <source>按%1%2</source>
        <extracomment>The table&apos;s sort: &quot;按&quot; (by), the column&apos;s title, then 升序 or 降序.</extracomment>
        <translation>By %1 (%2)</translation>
    </message>
    <message>
        <source>升序</source>
        <translation>ascending</translation>
    </message>
    <message>
        <source>降序</source>
        <translation>descending</translation>
    </message>
    <message>
        <source>花名册 · %1</source>
        <extracomment>The heading of an exported roster, with the class.</extracomment>
        <translation>Class list · %1</translation>
    </message>
    <message>
        <source>排序：%1</source>
        <translation>Sort: %1</translation>
    </message>
    <message numerus="yes">
        <source>共 %n 人</source>
        <translation>
            <numerusform>%n pupil</numerusform>
            <numerusform>%n pupils</numerusform>
        </translation>
    </message>
    <message>
        <source>花名册</source>
        <extracomment>A part of an exported roster&apos;s file name.</extracomment>
        <translation>Class list</translation>
    </message>
</context>
<context>
    <name>CoreMediaFuncManagerVC</name>
    <message>
        <source>电话</source>
        <translation>Phone</translation>
    </message>
</context>
<context>
    <name>Export</name>
    <message>
        <source>无法生成内容</source>
        <translation>Nothing could be made of it</translation>
    </message>
    <message>
        <source>列表太长，无法存为图片，请导出 PDF 或 CSV</source>
        <translation>The list is too long for a picture; export a PDF or CSV instead</translation>
    </message>
</context>
<context>
    <name>ExportActions</name>
    <message>
        <source>CSV 表格 (*.csv)</source>
        <extracomment>A file dialog&apos;s filter; the sheet of formats shows the words before the pattern.</extracomment>
        <translation>CSV spreadsheet (*.csv)</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <source>PDF 文档 (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>已导出 %1</source>
        <extracomment>%1 is the file&apos;s name.</extracomment>
        <translation>Exported %1</translation>
    </message>
    <message>
        <source>未能导出 %1：%2</source>
        <translation>Could not export %1: %2</translation>
    </message>
    <message>
        <source>未能打印</source>
        <translation>Could not print</translation>
    </message>
</context>
<context>
    <name>FeelRows</name>
    <message>
        <source>《%1》</source>
        <extracomment>A book&apos;s name as a list row shows it, in title marks.</extracomment>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>《%1》 %2 %3 %4</source>
        <extracomment>A reflection&apos;s row read aloud: book, pupil, time written, grade.</extracomment>
        <translation>“%1” %2 %3 %4</translation>
    </message>
    <message>
        <source>待发送</source>
        <translation>Not sent yet</translation>
    </message>
</context>
<context>
    <name>FlowerListView</name>
    <message>
        <source>小红花</source>
        <translation>Flowers</translation>
    </message>
</context>
<context>
    <name>ForgetPwdVC</name>
    <message>
        <source>请输入手机号</source>
        <translation>Enter your mobile number</translation>
    </message>
    <message>
        <source>手机号</source>
        <translation>Mobile number</translation>
    </message>
    <message>
        <source>请输入验证码</source>
        <translation>Enter the verification code</translation>
    </message>
    <message>
        <source>验证码</source>
        <translation>Verification code</translation>
    </message>
    <message>
        <source>获取验证码</source>
        <translation>Send code</translation>
    </message>
    <message>
        <source>下一步</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>忘记密码</source>
        <translation>Forgot password</translation>
    </message>
    <message>
        <source>正在验证</source>
        <translation>Verifying</translation>
    </message>
</context>
<context>
    <name>GradeAlertView</name>
    <message>
        <source>批阅</source>
        <translation>Grade</translation>
    </message>
</context>
<context>
    <name>GradeDetailVC</name>
    <message>
        <source>读后感</source>
        <translation>Reflection</translation>
    </message>
    <message>
        <source>图片</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <source>评级</source>
        <translation>Rating</translation>
    </message>
    <message>
        <source>批阅</source>
        <translation>Grade</translation>
    </message>
    <message>
        <source>详情</source>
        <extracomment>The title of one reflection&apos;s page.</extracomment>
        <translation>Details</translation>
    </message>
</context>
<context>
    <name>GradeListVC</name>
    <message>
        <source>读后感列表</source>
        <translation>Reflections</translation>
    </message>
    <message>
        <source>待批阅</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>已批阅</source>
        <translation>Graded</translation>
    </message>
    <message>
        <source>全部</source>
        <extracomment>The list of every reflection, graded or not.</extracomment>
        <translation>All</translation>
    </message>
    <message>
        <source>读后感 · %1</source>
        <extracomment>An export&apos;s title: reflections, then the list&apos;s name.</extracomment>
        <translation>Reflections · %1</translation>
    </message>
    <message numerus="yes">
        <source>共 %n 篇</source>
        <translation>
            <numerusform>%n reflection</numerusform>
            <numerusform>%n reflections</numerusform>
        </translation>
    </message>
    <message>
        <source>书名</source>
        <extracomment>The grade column&apos;s heading.</extracomment>
        <translation>Book</translation>
    </message>
    <message>
        <source>学生</source>
        <translation>Pupil</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>批阅</source>
        <translation>Grade</translation>
    </message>
    <message>
        <source>读后感</source>
        <translation>Reflection</translation>
    </message>
</context>
<context>
    <name>GradePost</name>
    <message>
        <source>服务未说明原因</source>
        <translation>The service gave no reason</translation>
    </message>
    <message>
        <source>「%1」未能发送：%2</source>
        <translation>“%1” could not be sent: %2</translation>
    </message>
</context>
<context>
    <name>GradeShowView</name>
    <message>
        <source>批阅</source>
        <translation>Grade</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>优秀</source>
        <translation>Excellent</translation>
    </message>
    <message>
        <source>良好</source>
        <translation>Good</translation>
    </message>
    <message>
        <source>合格</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>GradeViewController</name>
    <message>
        <source>读后感</source>
        <translation>Reflection</translation>
    </message>
    <message>
        <source>批为「%1」</source>
        <translation>Grade as “%1”</translation>
    </message>
    <message>
        <source>下一篇</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>上一篇</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>正文下翻一页</source>
        <translation>Page down in the text</translation>
    </message>
    <message>
        <source>正文上翻一页</source>
        <translation>Page up in the text</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
</context>
<context>
    <name>GradeVocabulary</name>
    <message>
        <source>优秀</source>
        <translation>Excellent</translation>
    </message>
    <message>
        <source>良好</source>
        <translation>Good</translation>
    </message>
    <message>
        <source>合格</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>待批阅</source>
        <translation>Waiting</translation>
    </message>
</context>
<context>
    <name>GuideViewController</name>
    <message>
        <source>进入App</source>
        <translation>Get started</translation>
    </message>
    <message>
        <source>欢迎</source>
        <translation>Welcome</translation>
    </message>
    <message>
        <source>介绍页</source>
        <translation>Introduction</translation>
    </message>
    <message>
        <source>左右方向键翻页</source>
        <translation>Left and Right turn the pages</translation>
    </message>
</context>
<context>
    <name>HeldChanges</name>
    <message>
        <source>正在发送批阅结果…</source>
        <translation>Sending grades…</translation>
    </message>
    <message numerus="yes">
        <source>%n 篇批阅未得到服务的回答，已放回待批阅</source>
        <translation>
            <numerusform>%n grade got no answer from the service and was put back in Waiting</numerusform>
            <numerusform>%n grades got no answer from the service and were put back in Waiting</numerusform>
        </translation>
    </message>
    <message>
        <source>已退出登录</source>
        <translation>Signed out</translation>
    </message>
</context>
<context>
    <name>HelpServiceVC</name>
    <message>
        <source>点击座机号码拨打客服电话</source>
        <translation>Click the landline number to call support</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>版本</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>客服电话</source>
        <translation>Support phone</translation>
    </message>
    <message>
        <source>帮助与客服</source>
        <translation>Help &amp; support</translation>
    </message>
    <message>
        <source>版本 %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>KeySheet</name>
    <message>
        <source>快捷键一览</source>
        <translation>Keyboard shortcuts</translation>
    </message>
    <message>
        <source>快捷键</source>
        <translation>Shortcuts</translation>
    </message>
    <message>
        <source>全局</source>
        <translation>Everywhere</translation>
    </message>
    <message>
        <source>本页</source>
        <translation>This page</translation>
    </message>
    <message>
        <source>按 Esc 或 F1 关闭</source>
        <translation>Press Esc or F1 to close</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>KeyboardAvoidance</name>
    <message>
        <source>上一项</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>下一项</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
</context>
<context>
    <name>LoadMoreFooter</name>
    <message>
        <source>上拉可以加载更多</source>
        <translation>Pull up to load more</translation>
    </message>
    <message>
        <source>松开立即加载更多</source>
        <translation>Release to load more</translation>
    </message>
    <message>
        <source>正在加载...</source>
        <translation>Loading...</translation>
    </message>
</context>
<context>
    <name>LoginViewController</name>
    <message>
        <source>登录</source>
        <translation>Sign in</translation>
    </message>
    <message>
        <source>使用手机号和密码登录教师账号</source>
        <translation>Sign in to your teacher account with your mobile number and password</translation>
    </message>
    <message>
        <source>请输入手机号</source>
        <translation>Enter your mobile number</translation>
    </message>
    <message>
        <source>请输入密码</source>
        <translation>Enter your password</translation>
    </message>
    <message>
        <source>忘记密码？</source>
        <translation>Forgot password?</translation>
    </message>
    <message>
        <source>手机号</source>
        <translation>Mobile number</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>忘记密码</source>
        <translation>Forgot password</translation>
    </message>
    <message>
        <source>请输入用户名</source>
        <translation>Enter your user name</translation>
    </message>
    <message>
        <source>正在登录</source>
        <translation>Signing in</translation>
    </message>
</context>
<context>
    <name>MainViewController</name>
    <message>
        <source>我的班级</source>
        <translation>My classes</translation>
    </message>
    <message>
        <source>班级列表</source>
        <translation>Classes</translation>
    </message>
    <message>
        <source>读后感批阅</source>
        <translation>Reflections</translation>
    </message>
    <message>
        <source>统计报表</source>
        <translation>Reports</translation>
    </message>
    <message>
        <source>我的收藏</source>
        <translation>My collection</translation>
    </message>
    <message>
        <source>首页</source>
        <translation>Home</translation>
    </message>
    <message numerus="yes">
        <source>待批阅 %n 篇</source>
        <translation>
            <numerusform>%n waiting</numerusform>
            <numerusform>%n waiting</numerusform>
        </translation>
    </message>
    <message>
        <source>%1年级%2(%3人)</source>
        <extracomment>A class on the home: grade as the service names it, class name, number of pupils.</extracomment>
        <translation>Grade %1 %2 (%3 pupils)</translation>
    </message>
    <message>
        <source>您暂无班级，请先添加班级</source>
        <translation>You have no classes yet. Please add a class first.</translation>
    </message>
    <message>
        <source>%1年级%2</source>
        <translation>Grade %1 %2</translation>
    </message>
    <message>
        <source>读后感批阅 %1</source>
        <translation>Reflections (%1)</translation>
    </message>
</context>
<context>
    <name>MyCollectionVC</name>
    <message>
        <source>我的收藏</source>
        <translation>My collection</translation>
    </message>
    <message>
        <source>我收藏的书</source>
        <translation>My collected books</translation>
    </message>
</context>
<context>
    <name>NavigationController</name>
    <message>
        <source>调整详情宽度</source>
        <translation>Resize the detail</translation>
    </message>
    <message>
        <source>关闭详情</source>
        <translation>Close details</translation>
    </message>
</context>
<context>
    <name>OfflineBar</name>
    <message>
        <source>离线提示</source>
        <translation>Offline notice</translation>
    </message>
    <message>
        <source>M月d日 HH:mm</source>
        <extracomment>A QDateTime format for a day other than today, then the time.</extracomment>
        <translation>d MMM HH:mm</translation>
    </message>
    <message>
        <source>数据更新于 %1</source>
        <extracomment>%1 is when the answer shown was received.</extracomment>
        <translation>Updated %1</translation>
    </message>
    <message>
        <source>离线 · %1</source>
        <extracomment>The bar on a screen that shows kept answers because the network brought nothing.</extracomment>
        <translation>Offline · %1</translation>
    </message>
</context>
<context>
    <name>PageControl</name>
    <message>
        <source>第 %1 页，共 %2 页</source>
        <translation>Page %1 of %2</translation>
    </message>
</context>
<context>
    <name>PagedRowsBase</name>
    <message numerus="yes">
        <source>只显示前 %n 条</source>
        <translation>
            <numerusform>Showing only the first %n item</numerusform>
            <numerusform>Showing only the first %n items</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PhotoCropDialog</name>
    <message>
        <source>裁剪照片</source>
        <translation>Crop photo</translation>
    </message>
    <message>
        <source>缩放</source>
        <translation>Zoom</translation>
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
        <source>拖动方框选择头像区域，滚轮或 +/- 缩放</source>
        <translation>Drag the frame to choose the photo area; scroll or press +/- to zoom</translation>
    </message>
</context>
<context>
    <name>PhotoCropView</name>
    <message>
        <source>裁剪区域</source>
        <translation>Crop area</translation>
    </message>
    <message>
        <source>拖动或用方向键移动方框，用滚轮或加号、减号键缩放；回车确定，Esc 取消</source>
        <translation>Drag the frame or move it with the arrow keys; scroll or press + or - to zoom. Enter to confirm, Esc to cancel</translation>
    </message>
</context>
<context>
    <name>PhotoPicker</name>
    <message>
        <source>选择照片</source>
        <translation>Choose photo</translation>
    </message>
    <message>
        <source>图片 (%1)</source>
        <extracomment>The file dialog&apos;s filter; %1 is the list of patterns such as *.png.</extracomment>
        <translation>Images (%1)</translation>
    </message>
    <message>
        <source>无法读取该文件，请选择一张图片</source>
        <translation>Cannot read this file. Please choose an image.</translation>
    </message>
</context>
<context>
    <name>PictureBrowser</name>
    <message>
        <source>图片加载失败</source>
        <translation>Could not load the picture</translation>
    </message>
    <message>
        <source>图片浏览</source>
        <translation>Picture viewer</translation>
    </message>
</context>
<context>
    <name>PictureGrid</name>
    <message>
        <source>图片%1</source>
        <extracomment>A thumbnail&apos;s name: picture 1, 2, …</extracomment>
        <translation>Picture %1</translation>
    </message>
</context>
<context>
    <name>PictureThumbnail</name>
    <message>
        <source>还有%1张</source>
        <extracomment>Told on the last thumbnail when more pictures are hidden behind it.</extracomment>
        <translation>%1 more</translation>
    </message>
</context>
<context>
    <name>REDetailCommentViewController</name>
    <message>
        <source>写下你对这本书的评论（Ctrl+Enter 提交）</source>
        <translation>Write your comment on this book (Ctrl+Enter to submit)</translation>
    </message>
    <message>
        <source>评论内容</source>
        <translation>Comment text</translation>
    </message>
    <message>
        <source>字数</source>
        <translation>Character count</translation>
    </message>
    <message>
        <source>提  交</source>
        <translation>Submit</translation>
    </message>
    <message>
        <source>提交</source>
        <translation>Submit</translation>
    </message>
    <message>
        <source>提交评语</source>
        <translation>Submit comment</translation>
    </message>
    <message>
        <source>评论成功</source>
        <translation>Comment posted</translation>
    </message>
    <message>
        <source>评论</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>请输入评论内容</source>
        <translation>Please enter a comment</translation>
    </message>
</context>
<context>
    <name>RefreshHeader</name>
    <message>
        <source>下拉可以刷新</source>
        <translation>Pull down to refresh</translation>
    </message>
    <message>
        <source>松开立即刷新</source>
        <translation>Release to refresh</translation>
    </message>
    <message>
        <source>刷新中...</source>
        <translation>Refreshing...</translation>
    </message>
    <message>
        <source>最后更新：%1</source>
        <extracomment>%1 is when the list was last refreshed: a time, a date and time, or &quot;无记录&quot;.</extracomment>
        <translation>Last updated: %1</translation>
    </message>
    <message>
        <source>无记录</source>
        <extracomment>The list was never refreshed.</extracomment>
        <translation>Never</translation>
    </message>
    <message>
        <source>今天 %1</source>
        <extracomment>%1 is a time of today, such as 09:30.</extracomment>
        <translation>Today %1</translation>
    </message>
</context>
<context>
    <name>ResetPwdVC</name>
    <message>
        <source>请输入6-20位新密码</source>
        <translation>Enter a new password (6–20 characters)</translation>
    </message>
    <message>
        <source>新密码</source>
        <translation>New password</translation>
    </message>
    <message>
        <source>请再次输入新密码</source>
        <translation>Enter the new password again</translation>
    </message>
    <message>
        <source>确认新密码</source>
        <translation>Confirm new password</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>设置密码</source>
        <translation>Set password</translation>
    </message>
    <message>
        <source>正在设置</source>
        <translation>Saving</translation>
    </message>
</context>
<context>
    <name>ReviewDesk</name>
    <message>
        <source>读后感批阅</source>
        <translation>Review reflections</translation>
    </message>
    <message>
        <source>读后感内容</source>
        <translation>Reflection text</translation>
    </message>
    <message>
        <source>按 %1 批为「%2」</source>
        <extracomment>A grade button&apos;s tip: the key, then the grade.</extracomment>
        <translation>Press %1 to grade as “%2”</translation>
    </message>
    <message>
        <source>撤销 Ctrl+Z</source>
        <extracomment>The undo button; Ctrl+Z is its key.</extracomment>
        <translation>Undo Ctrl+Z</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>已批为「%1」</source>
        <translation>Graded “%1”</translation>
    </message>
    <message>
        <source>已批为「%1」，待发送</source>
        <translation>Graded “%1”, not sent yet</translation>
    </message>
    <message>
        <source>已批阅：%1</source>
        <translation>Graded: %1</translation>
    </message>
    <message numerus="yes">
        <source>将 %n 篇读后感批为「%1」？</source>
        <translation>
            <numerusform>Grade %n reflection as “%1”?</numerusform>
            <numerusform>Grade %n reflections as “%1”?</numerusform>
        </translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>待批阅 %1 篇 · 本次已批 %2 篇</source>
        <extracomment>The review desk&apos;s progress: reflections still waiting, then those graded this sitting.</extracomment>
        <translation>%1 waiting · %2 graded this session</translation>
    </message>
    <message>
        <source>全部批阅完成</source>
        <translation>All reflections graded</translation>
    </message>
    <message>
        <source>离线中，恢复连接后才能批阅</source>
        <translation>Offline. You can grade again once the connection is back.</translation>
    </message>
    <message>
        <source>%1 ·《%2》 · %3</source>
        <extracomment>The reflection&apos;s heading: the pupil, the book&apos;s title, the time it was written.</extracomment>
        <translation>%1 · “%2” · %3</translation>
    </message>
</context>
<context>
    <name>RosterColumns</name>
    <message>
        <source>姓名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>小红花</source>
        <translation>Flowers</translation>
    </message>
    <message>
        <source>等级</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>测评</source>
        <translation>Quizzes</translation>
    </message>
    <message>
        <source>手机</source>
        <translation>Mobile</translation>
    </message>
</context>
<context>
    <name>SegmentedControl</name>
    <message>
        <source>已选「%1」，共 %2 项，左右方向键切换</source>
        <extracomment>A segmented control read aloud: the selected segment, how many there are, the keys.</extracomment>
        <translation>“%1” selected, %2 options; Left and Right switch</translation>
    </message>
</context>
<context>
    <name>ServiceNumbers</name>
    <message>
        <source>%1转%2</source>
        <extracomment>A telephone number (%1) and its extension (%2).</extracomment>
        <translation>%1 ext. %2</translation>
    </message>
</context>
<context>
    <name>SettingModel</name>
    <message>
        <source>个人资料</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>我的收藏</source>
        <translation>My collection</translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>修改密码</source>
        <translation>Change password</translation>
    </message>
    <message>
        <source>修改手机号</source>
        <translation>Change mobile number</translation>
    </message>
    <message>
        <source>帮助与客服</source>
        <translation>Help &amp; support</translation>
    </message>
</context>
<context>
    <name>SettingRows</name>
    <message>
        <source>%1，%2</source>
        <extracomment>A menu row read aloud: its name, then its current value.</extracomment>
        <translation>%1, %2</translation>
    </message>
</context>
<context>
    <name>SettingVC</name>
    <message>
        <source>退出登录</source>
        <translation>Sign out</translation>
    </message>
    <message>
        <source>系统设置菜单</source>
        <translation>Settings menu</translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation>Follow system</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>SideBar</name>
    <message>
        <source>栏目</source>
        <extracomment>The sidebar&apos;s list of the program&apos;s sections.</extracomment>
        <translation>Sections</translation>
    </message>
</context>
<context>
    <name>SideBarRows</name>
    <message>
        <source>当前栏目</source>
        <translation>Current section</translation>
    </message>
</context>
<context>
    <name>TabBar</name>
    <message>
        <source>首页</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>书城</source>
        <translation>Books</translation>
    </message>
    <message>
        <source>报表</source>
        <translation>Reports</translation>
    </message>
    <message>
        <source>我</source>
        <extracomment>The tab of the teacher&apos;s own page (profile, collection, settings): &quot;Me&quot;.</extracomment>
        <translation>Me</translation>
    </message>
</context>
<context>
    <name>TabBarController</name>
    <message>
        <source>切换栏目</source>
        <translation>Switch section</translation>
    </message>
    <message>
        <source>切换到「%1」</source>
        <translation>Switch to “%1”</translation>
    </message>
</context>
<context>
    <name>TeacherRequestManager</name>
    <message>
        <source>登录尚未得到服务确认，暂时不能修改，请稍后再试</source>
        <translation>Sign-in not yet confirmed by the service. You can&apos;t make changes yet; please try again later.</translation>
    </message>
</context>
<context>
    <name>TextRules</name>
    <message>
        <source>请输入手机号</source>
        <translation>Enter your mobile number</translation>
    </message>
    <message>
        <source>请输入正确的手机号</source>
        <translation>Enter a valid mobile number</translation>
    </message>
    <message>
        <source>请输入验证码</source>
        <translation>Enter the verification code</translation>
    </message>
    <message>
        <source>请确认旧密码</source>
        <translation>Enter your current password</translation>
    </message>
    <message>
        <source>请输入新密码</source>
        <translation>Enter a new password</translation>
    </message>
    <message>
        <source>请输入6-20位密码</source>
        <translation>Enter a password of 6-20 characters</translation>
    </message>
    <message>
        <source>请确认新密码</source>
        <translation>Confirm the new password</translation>
    </message>
    <message>
        <source>两次密码不一致</source>
        <translation>The two passwords do not match</translation>
    </message>
</context>
<context>
    <name>UserClassCell</name>
    <message>
        <source>班级</source>
        <extracomment>The label before a class&apos;s name in the teacher&apos;s list of classes.</extracomment>
        <translation>Class</translation>
    </message>
</context>
<context>
    <name>UserDetailVC</name>
    <message>
        <source>姓名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>学校</source>
        <translation>School</translation>
    </message>
    <message>
        <source>任教班级</source>
        <translation>Classes taught</translation>
    </message>
    <message>
        <source>编辑时：回车更换所选班级，Delete 删除所选班级</source>
        <translation>While editing: Enter changes the selected class, Delete removes it</translation>
    </message>
    <message>
        <source>添加班级</source>
        <translation>Add class</translation>
    </message>
    <message>
        <source>＋ 添加班级</source>
        <translation>+ Add class</translation>
    </message>
    <message>
        <source>选择班级</source>
        <translation>Choose class</translation>
    </message>
    <message>
        <source>确定班级</source>
        <translation>Confirm class</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>可选班级</source>
        <translation>Available classes</translation>
    </message>
    <message>
        <source>(不可修改)</source>
        <extracomment>Follows the teacher&apos;s name and school in edit mode.</extracomment>
        <translation>(cannot be changed)</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>个人资料</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>温馨提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>是否确定删除班级</source>
        <translation>Remove this class?</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>Confirm</translation>
    </message>
</context>
<context>
    <name>UserViewController</name>
    <message>
        <source>更换头像</source>
        <translation>Change photo</translation>
    </message>
    <message>
        <source>头像</source>
        <translation>Profile photo</translation>
    </message>
    <message>
        <source>点击更换头像</source>
        <translation>Click to change photo</translation>
    </message>
    <message>
        <source>姓名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>地区</source>
        <translation>Region</translation>
    </message>
    <message>
        <source>学校</source>
        <translation>School</translation>
    </message>
    <message>
        <source>个人中心菜单</source>
        <translation>Personal menu</translation>
    </message>
    <message>
        <source>我</source>
        <extracomment>The personal centre&apos;s title: the teacher&apos;s own page (&quot;Me&quot;).</extracomment>
        <translation>Me</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>现在拍摄</source>
        <translation>Take photo</translation>
    </message>
    <message>
        <source>从相册选取</source>
        <translation>Choose from photos</translation>
    </message>
</context>
<context>
    <name>VerificationCodeVC</name>
    <message>
        <source>重新获取</source>
        <extracomment>The get-code button once the countdown is over.</extracomment>
        <translation>Resend</translation>
    </message>
    <message>
        <source>(%1)秒</source>
        <extracomment>The get-code button while it waits: the seconds left before another code can be sent.</extracomment>
        <translation>(%1 s)</translation>
    </message>
</context>
<context>
    <name>WindowMenu</name>
    <message>
        <source>菜单栏</source>
        <translation>Menu bar</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>导出…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>打印…</source>
        <translation>Print…</translation>
    </message>
    <message>
        <source>退出登录</source>
        <translation>Sign out</translation>
    </message>
    <message>
        <source>退出</source>
        <extracomment>Quits the program.</extracomment>
        <translation>Quit</translation>
    </message>
    <message>
        <source>视图</source>
        <translation>View</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>侧栏</source>
        <translation>Sidebar</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>快捷键</source>
        <translation>Shortcuts</translation>
    </message>
    <message>
        <source>快捷键一览</source>
        <translation>Keyboard shortcuts</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>版本 %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>服务地址：%1</source>
        <translation>Service address: %1</translation>
    </message>
    <message>
        <source>许可：%1</source>
        <translation>License: %1</translation>
    </message>
    <message>
        <source>关于%1</source>
        <extracomment>The about box&apos;s title; %1 is the program&apos;s name.</extracomment>
        <translation>About %1</translation>
    </message>
    <message>
        <source>好</source>
        <extracomment>The about box&apos;s only button.</extracomment>
        <translation>OK</translation>
    </message>
</context>
</TS>
